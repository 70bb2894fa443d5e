// A field value as the data engine hands it to the windows.
#pragma once

#include <compare>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <variant>
#include <vector>

namespace store {

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
    auto operator<=>(const Date&) const = default;
};

// Null, text (UTF-8, trailing blanks removed, leading blanks kept), number, date or logical.
class Value {
public:
    Value() = default;
    Value(std::string text) : v_(std::move(text)) {}
    Value(const char* text) : v_(std::string(text)) {}
    Value(double number) : v_(number) {}
    Value(int number) : v_(static_cast<double>(number)) {}
    Value(Date date) : v_(date) {}
    Value(bool logical) : v_(logical) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(v_); }
    bool isText() const { return std::holds_alternative<std::string>(v_); }
    bool isNumber() const { return std::holds_alternative<double>(v_); }
    bool isDate() const { return std::holds_alternative<Date>(v_); }
    bool isLogical() const { return std::holds_alternative<bool>(v_); }

    const std::string& text() const { return std::get<std::string>(v_); }
    double number() const { return std::get<double>(v_); }
    const Date& date() const { return std::get<Date>(v_); }
    bool logical() const { return std::get<bool>(v_); }

    // The value as the windows display it: "" for null, numbers without
    // needless decimals ("14", "2.5"), dates as YYYYMMDD, logicals as T/F.
    std::string toString() const;

    bool operator==(const Value&) const = default;

private:
    std::variant<std::monostate, std::string, double, Date, bool> v_;
};

using Row = std::vector<Value>;

// For test output and logs: null, "text", 2.5, D20240105, T/F.
std::ostream& operator<<(std::ostream& out, const Value& value);

}  // namespace store
