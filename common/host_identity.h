// Who works here: the station's host name and the login of its user, as the
// lab archive records them for every batch.
#pragma once

#include <pwd.h>

#include <string>

// Empty when the system does not tell.
std::u16string HostName();
std::u16string LoginName();

// A text of this process's account entry (pw_name, pw_dir); empty when the
// system has none.
std::string AccountText(char* passwd::*field);
