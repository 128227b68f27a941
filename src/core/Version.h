// The client's version text, sent with logs and reports and compared at login.
#pragma once

inline constexpr const char* kClientVersion = "v2.6.1.0";
