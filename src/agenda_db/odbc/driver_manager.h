// The driver manager's headers, for the files of this folder only. On Windows they rely on the
// platform's own types being declared first.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#endif

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>
