// The entry routine: the application with its one board window.
#include "Exceptions.h"
#include "Forms.h"
#include "MainWindow1.h"

int main(int, char**)
{
    try {
        Application->Initialize();
        Application->SetTitle("モザイカ");
        Application->CreateForm(MainForm1);
        Application->Run();
    } catch (const Exception& exception) {
        Application->ShowException(&exception);
    } catch (...) {
        const Exception exception("");
        Application->ShowException(&exception);
    }
    return 0;
}
