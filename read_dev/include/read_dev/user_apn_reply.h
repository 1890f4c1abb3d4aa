// The user APN as the tracker keeps it: the modem command text written to the device, and its
// reply taken apart into the window's fixed-width fields. Text in, text out; no port.
#pragma once

#include "vcl/system.h"

// The user APN reply is used up to this many characters (its buffer holds one more: the end).
constexpr int UserApnReplyLimit = 127;

// The fields that receive the reply's tokens, in this order. Each holds its text and the 0x00
// that ends it, so a field of n bytes keeps at most n - 1 characters of a token.
struct UserApnReplyFields {
  char ReplyPrefix[4] = {};
  char ReplyCommand[15] = {};
  char ReplyApn[40] = {};
  char ReplyLogin[10] = {};
  char ReplyPassword[40] = {};
};

// A byte of the reply as it is stored: the double quote becomes '_', the comma a blank, so that
// the quoted values of the modem command fall apart into tokens.
char UserApnReplyChar(char c);

// Splits `text` (its first UserApnReplyLimit characters) at white space into up to five tokens
// and puts them into the fields in order; a token longer than its field is cut to fit; a field
// without a token keeps what it held.
void SplitUserApnReply(const AnsiString& text, UserApnReplyFields& fields);

// A value field as shown in its edit: every '_' turned into a blank, then trimmed.
AnsiString UserApnValue(const char* field);

// The modem command that sets GPRS mode with APN, login and password, behind the prefix "9 ":
// 9 AT+CIPCSGP=1,"apn","login","password"
AnsiString UserApnCommand(const AnsiString& apn, const AnsiString& login,
                          const AnsiString& password);
