#pragma once
// Reading back a date the user typed in the locale's short date form, optionally followed by a
// time, as the screen shows dates (ShortDateText). No toolkit in here.
#include "platform/date_time.h"

#include <optional>
#include <string>

namespace galerion::ui {

// None when the text is no date of the calendar (31/02/2005 is none).
std::optional<TDateTime> ReadLocalDateTime(const std::string& text);

}  // namespace galerion::ui
