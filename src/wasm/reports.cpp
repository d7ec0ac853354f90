#include "wasm/reports.h"

#include "core/appstrings.h"
#include "core/text_codec.h"

namespace corvane::wasm {

std::string MessageKey(TStringId id) {
    std::string key = Str(id);
    if (const auto at = key.find("%d"); at != std::string::npos) key.replace(at, 2, "N");
    return key;
}

int MessageIdOfText(std::string_view message) {
    // A suite's input error reads "input:POS: MESSAGE".
    if (message.starts_with("input:")) {
        if (const auto colon = message.find(": "); colon != std::string_view::npos)
            message.remove_prefix(colon + 2);
    }
    for (int id = 0; id < sStringCount; ++id) {
        const std::string_view text = Str(static_cast<TStringId>(id));
        const auto number = text.find("%d");
        const bool same = number == std::string_view::npos
                              ? message == text
                              : message.starts_with(text.substr(0, number)) &&
                                    message.ends_with(text.substr(number + 2));
        if (same) return id;
    }
    return -1;
}

json ErrorInfo(const TError& error, std::string_view text) {
    int64_t line = error.Line > 0 ? error.Line : 0;
    int64_t column = 0;
    if (error.Pos >= 0) {
        const TLineCol at = LineColOf(text, error.Pos);
        line = at.Line;
        column = at.Column;
    }
    const bool known = error.Message >= 0 && error.Message < sStringCount;
    return {{"message", known ? Str(error.Message) : ""},
            {"pos", error.Pos},
            {"line", line},
            {"column", column},
            {"key", known ? MessageKey(error.Message) : ""},
            {"id", known ? static_cast<int>(error.Message) : -1}};
}

json ErrorInfo(std::string_view message, int32_t line, int32_t column) {
    const int id = MessageIdOfText(message);
    return {{"message", message},
            {"pos", -1},
            {"line", line},
            {"column", column},
            {"key", id < 0 ? "" : MessageKey(static_cast<TStringId>(id))},
            {"id", id}};
}

json SignedValues(const uint32_t* values, std::size_t count) {
    json list = json::array();
    for (std::size_t i = 0; i < count; ++i)
        list.push_back(static_cast<int32_t>(values[i]));
    return list;
}

std::string Dump(const json& value) {
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

} // namespace corvane::wasm
