// The boundary between Qt strings and the program's local texts.
#pragma once

#include "text/text.h"

#include <QString>

#include <string_view>

namespace quenmark::ui {

// `string` as a local text (GB18030) with every line break written as CR LF.
// Characters the local code page cannot hold become '?'; the text ends
// before a zero character, as a local text holds no zero byte.
[[nodiscard]] text::Text to_text(const QString& string);

// A local text as a Qt string with every CR LF turned into a single "\n",
// the line break Qt's widgets use.
[[nodiscard]] QString to_qstring(std::string_view text);

} // namespace quenmark::ui
