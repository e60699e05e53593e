#pragma once

#include "PasswordKey.h"

#include <QString>

// The parent's password in force: the one in settings.dat when it holds one,
// else the install's from parent.ini. A child who deletes or empties
// settings.dat so falls back to the install's password, never to none.
namespace ParentPassword {

bool IsSet();

// Ignoring letter case. Against the install's key this takes a fraction of a
// second; callers that test often (typing) wait for a pause first.
bool Matches(const QString &typed);

// The plain password in lower case when settings.dat holds one; empty when
// only the install's key is known or none is set.
QString PlainLower();

// What the remote console's answer is keyed with: the install's key when its
// password is in force, else a key of settings.dat's password with a salt
// made for this run, derived once and again only when the password changes.
// Null when no password is set.
PasswordKey RemoteKey();

} // namespace ParentPassword
