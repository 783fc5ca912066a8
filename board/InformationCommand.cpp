// The information page command: opens the maker's page, named after the
// running program, in the desktop's default browser.
#include "Cp932.h"
#include "InformationAddress.h"
#include "MainWindow1.h"
#include "ShellApi.h"

AnsiString InformationAddress(const AnsiString& programPath)
{
    // Scanned by characters of the code page, so that the second byte of a
    // double-byte character is never taken for a separator or a dot.
    size_t nameStart = 0;
    size_t lastDot = AnsiString::npos;
    for (size_t i = 0; i < programPath.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(programPath[i]);
        if (IsCp932LeadByte(c) && i + 1 < programPath.size()) {
            ++i;
        } else if (c == '/') {
            nameStart = i + 1;
            lastDot = AnsiString::npos;
        } else if (c == '.') {
            lastDot = i;
        }
    }
    const size_t nameEnd = lastDot == AnsiString::npos ? programPath.size() : lastDot;
    return AnsiString("http://") + kInformationHost +
           "/info.php?pf=w&sn=" + programPath.substr(nameStart, nameEnd - nameStart);
}

void TMainForm1::N4Click(TObject*)
{
    ShellExecuteA(Handle(), "OPEN", InformationAddress(GetModuleFileNameA()).c_str(), "", "", SW_SHOW);
}
