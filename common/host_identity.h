// Who works here: the station's host name and the login of its user, as the
// lab archive records them for every batch.
#pragma once

#include <string>

// Empty when the system does not tell.
std::u16string HostName();
std::u16string LoginName();
