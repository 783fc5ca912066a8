// The Mail command: the board as the attachment of a new message in the
// user's mail program.
#include "BoardSnapshot.h"
#include "Clock.h"
#include "Forms.h"
#include "MainWindow1.h"
#include "Mapi.h"
#include "PrivateFolder.h"
#include "SysUtils.h"

#include <ctime>
#include <string>

void TMainForm1::M1Click(TObject*)
{
    // The minute the command starts names its file, however long it runs.
    char stamp[24];
    tzset();
    const std::time_t now = CurrentTime();
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d%H%M", &local);

    // A folder of the command's own, so that no file of the user's is ever
    // replaced or removed; it goes when the command ends.
    const TPrivateFolder folder;
    const std::string path = folder.Path() + stamp + ".jpg";
    {
        const TBoardExportObjects objects;
        CaptureBoard(*this);
        WriteBoardJpeg(*this, path, objects.Jpeg(), objects.Bitmap());
    }

    std::string pathText = path;
    std::string subject = "(添付画像あり)";
    std::string noteText = "";
    std::string recipientName = "";
    std::string recipientAddress = "";
    MapiFileDesc attachment{0, 0, 0xFFFFFFFF, pathText.data(), nullptr, nullptr};
    MapiRecipDesc recipient{0, MAPI_TO, recipientName.data(), recipientAddress.data(), 0, nullptr};
    MapiMessage message{
        0, subject.data(), noteText.data(), nullptr, nullptr, nullptr, 0, nullptr, 1, &recipient,
        1, &attachment};

    const ULONG result = MAPISendMail(0, reinterpret_cast<ULONG_PTR>(Application->Handle()), &message,
                                      MAPI_LOGON_UI | MAPI_NEW_SESSION | MAPI_DIALOG, 0);
    if (result != SUCCESS_SUCCESS) {
        MessageBeep(0);
        Application->MessageBox(
            "お使いのメーラーを｢通常使うメールソフト(規定のプログラム)｣に設定してください。",
            Application->Title(), MB_OK);
    }
    if (FileExists(path))
        DeleteFileA(path);
}
