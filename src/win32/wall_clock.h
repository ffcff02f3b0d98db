#pragma once
#include "form/platform.h"

namespace vor3::win32 {

// Date and time in the user's formats (the short date of the regional
// setting, the time as HH:mm:ss); stamps in local time.
class Win32WallClock : public form::WallClock {
public:
    std::string date_text() const override;
    std::string time_text() const override;
    form::WallTime now() const override;
};

}  // namespace vor3::win32
