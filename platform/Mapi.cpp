#include "Mapi.h"

#include "Cp932.h"
#include "MailProvider.h"

#include <optional>
#include <string>

namespace {

TMapiSendMail& TestSendMail()
{
    static TMapiSendMail sendMail;
    return sendMail;
}

std::optional<bool>& Present()
{
    static std::optional<bool> present;
    return present;
}

} // namespace

void SetMapiSendMailForTests(TMapiSendMail sendMail)
{
    TestSendMail() = std::move(sendMail);
}

void ResetMapiLoaderForTests()
{
    Present().reset();
}

ULONG MAPISendMail(LHANDLE lhSession, ULONG_PTR ulUIParam, MapiMessage* lpMessage, FLAGS flFlags,
                   ULONG ulReserved)
{
    if (TestSendMail())
        return TestSendMail()(lhSession, ulUIParam, lpMessage, flFlags, ulReserved);
    if (!Present())
        Present() = MailProviderPresent();
    if (!*Present())
        return MAPI_E_USER_ABORT;
    if (!lpMessage)
        return MAPI_E_FAILURE;
    // This provider hands over one attachment with the subject; the
    // recipients are left for the user to fill in in the compose window.
    if (lpMessage->nFileCount < 1 || !lpMessage->lpFiles || !lpMessage->lpFiles[0].lpszPathName)
        return MAPI_E_ATTACHMENT_NOT_FOUND;
    const std::string subject = lpMessage->lpszSubject ? Cp932ToUtf8(lpMessage->lpszSubject) : std::string();
    // The attachment's path is a native path, as the system gave it.
    return HandOverToMailProgram(subject, lpMessage->lpFiles[0].lpszPathName);
}
