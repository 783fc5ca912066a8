#pragma once

#include <string>

// The provider behind Simple MAPI on this desktop.

// True when the desktop names a default program for mailto addresses and
// xdg-email can be run.
bool MailProviderPresent();

// Opens the mail program's compose window with the subject and the file
// attached, and no address. The mail program reads the attachment after
// xdg-email has returned, so a copy of it is kept in the provider's own
// outbox for a day. The window keeps painting and takes no input meanwhile;
// an xdg-email still running after a few seconds has put up its compose
// window and counts as handed over. Returns the Simple MAPI result.
unsigned HandOverToMailProgram(const std::string& subjectUtf8, const std::string& attachmentPath);
