// The entry rules (rules/) as the windows use them: on QString texts, with
// messages for the message-box service.
#pragma once

#include <QString>
#include <vector>

#include "rules/checks.h"
#include "ui/messagebox.h"

namespace ui {

// The text's UTF-16 code units, as the rules read them (valid while the
// QString lives and is not changed).
inline rules::Text u16(const QString& text) {
    return rules::Text(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size()));
}

inline std::vector<Message> messages(const std::vector<rules::Message>& from) {
    std::vector<Message> out;
    out.reserve(from.size());
    for (const rules::Message& m : from)
        out.push_back(Message{QString::fromStdString(m.text), QString::fromStdString(m.title), m.critical});
    return out;
}

}  // namespace ui
