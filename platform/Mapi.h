#pragma once

#include <cstdint>
#include <functional>

// Simple MAPI: the records of a message and MAPISendMail, with the field order
// of the published interface. Texts are the system's code page 932.
using ULONG = std::uint32_t;
using FLAGS = ULONG;
using LHANDLE = std::uintptr_t;
using ULONG_PTR = std::uintptr_t;
using LPSTR = char*;
using LPVOID = void*;

struct MapiRecipDesc {
    ULONG ulReserved;
    ULONG ulRecipClass;
    LPSTR lpszName;
    LPSTR lpszAddress;
    ULONG ulEIDSize;
    LPVOID lpEntryID;
};

struct MapiFileDesc {
    ULONG ulReserved;
    ULONG flFlags;
    ULONG nPosition;
    LPSTR lpszPathName;
    LPSTR lpszFileName;
    LPVOID lpFileType;
};

struct MapiMessage {
    ULONG ulReserved;
    LPSTR lpszSubject;
    LPSTR lpszNoteText;
    LPSTR lpszMessageType;
    LPSTR lpszDateReceived;
    LPSTR lpszConversationID;
    FLAGS flFlags;
    MapiRecipDesc* lpOriginator;
    ULONG nRecipCount;
    MapiRecipDesc* lpRecips;
    ULONG nFileCount;
    MapiFileDesc* lpFiles;
};

inline constexpr ULONG MAPI_TO = 1;
inline constexpr FLAGS MAPI_LOGON_UI = 0x01;
inline constexpr FLAGS MAPI_NEW_SESSION = 0x02;
inline constexpr FLAGS MAPI_DIALOG = 0x08;
inline constexpr ULONG SUCCESS_SUCCESS = 0;
inline constexpr ULONG MAPI_E_USER_ABORT = 1;
inline constexpr ULONG MAPI_E_FAILURE = 2;
inline constexpr ULONG MAPI_E_ATTACHMENT_NOT_FOUND = 11;
inline constexpr ULONG MAPI_E_ATTACHMENT_OPEN_FAILURE = 12;

// Hands a message to the desktop's default mail program, which opens its
// compose window with it. Simple MAPI counts as present when the desktop has
// a default mail program for mailto addresses and xdg-email can be run; that
// is decided at the first call and holds until the program ends. Where it is
// absent nothing is done and MAPI_E_USER_ABORT is returned. 0 means handed
// over.
ULONG MAPISendMail(LHANDLE lhSession, ULONG_PTR ulUIParam, MapiMessage* lpMessage, FLAGS flFlags,
                   ULONG ulReserved);

// A seam for tests: while set, MAPISendMail passes its arguments here instead
// of to the provider.
using TMapiSendMail = std::function<ULONG(LHANDLE, ULONG_PTR, MapiMessage*, FLAGS, ULONG)>;
void SetMapiSendMailForTests(TMapiSendMail sendMail);
// Forgets the decision on Simple MAPI's presence, as a new start would.
void ResetMapiLoaderForTests();
