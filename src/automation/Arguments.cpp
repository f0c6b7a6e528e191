#include "automation/Arguments.h"

#include <limits>

namespace automation {

namespace {
std::string rangeText(std::int64_t min, std::int64_t max) {
    if (min == 0 && max == std::numeric_limits<std::int64_t>::max())
        return "a non-negative integer";
    if (min == std::numeric_limits<std::int64_t>::min() &&
        max == std::numeric_limits<std::int64_t>::max())
        return "an integer";
    return "an integer from " + std::to_string(min) + " to " + std::to_string(max);
}
} // namespace

std::int64_t requireInteger(const nlohmann::json& value, std::string_view context,
                            std::string_view what, std::int64_t min, std::int64_t max) {
    auto fail = [&] {
        return RequestError(std::string(context) + ": " + std::string(what) + " must be " +
                            rangeText(min, max));
    };
    std::int64_t n = 0;
    if (value.is_number_unsigned()) {
        const auto u = value.get<std::uint64_t>();
        if (u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            throw fail();
        n = static_cast<std::int64_t>(u);
    } else if (value.is_number_integer()) {
        n = value.get<std::int64_t>();
    } else {
        throw fail();
    }
    if (n < min || n > max)
        throw fail();
    return n;
}

std::string requireString(const nlohmann::json& value, std::string_view context,
                          std::string_view what) {
    if (!value.is_string())
        throw RequestError(std::string(context) + ": " + std::string(what) + " must be a string");
    return value.get<std::string>();
}

bool requireBool(const nlohmann::json& value, std::string_view context, std::string_view what) {
    if (!value.is_boolean())
        throw RequestError(std::string(context) + ": " + std::string(what) +
                           " must be true or false");
    return value.get<bool>();
}

Arguments::Arguments(std::string_view command, const nlohmann::json& values)
    : command_(command), values_(values) {}

void Arguments::expectCount(std::size_t min, std::size_t max, std::string_view usage) const {
    const std::size_t n = size();
    if (n < min || n > max) {
        std::string message = n < min ? "missing arguments" : "too many arguments";
        message += ", expected [\"" + command_ + "\"";
        if (!usage.empty())
            message += ", " + std::string(usage);
        message += "]";
        throw error(message);
    }
}

const nlohmann::json& Arguments::at(std::size_t index, std::string_view what) const {
    if (index >= values_.size())
        throw error("missing " + std::string(what));
    return values_[index];
}

std::string Arguments::string(std::size_t index, std::string_view what) const {
    return requireString(at(index, what), command_, what);
}

std::int64_t Arguments::integer(std::size_t index, std::string_view what, std::int64_t min,
                                std::int64_t max) const {
    return requireInteger(at(index, what), command_, what, min, max);
}

const nlohmann::json& Arguments::object(std::size_t index, std::string_view what) const {
    const auto& value = at(index, what);
    if (!value.is_object())
        throw error(std::string(what) + " must be an object");
    return value;
}

RequestError Arguments::error(std::string_view message) const {
    return RequestError(command_ + ": " + std::string(message));
}

} // namespace automation
