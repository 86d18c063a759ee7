#include "locale/decimal_separator.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace noten {
namespace {

// Sets LC_ALL, LC_NUMERIC and LANG for one case and restores them afterwards.
class LocaleEnvironment {
public:
    LocaleEnvironment(const char* all, const char* numeric, const char* lang) {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            saved_.push_back(value ? std::optional<std::string>(value) : std::nullopt);
        }
        set("LC_ALL", all);
        set("LC_NUMERIC", numeric);
        set("LANG", lang);
    }
    ~LocaleEnvironment() {
        for (std::size_t i = 0; i < 3; ++i) {
            set(kNames[i], saved_[i] ? saved_[i]->c_str() : nullptr);
        }
    }

private:
    static constexpr const char* kNames[3] = {"LC_ALL", "LC_NUMERIC", "LANG"};
    static void set(const char* name, const char* value) {
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    std::vector<std::optional<std::string>> saved_;
};

TEST(SystemDecimalSeparator, FollowsLcAllThenLcNumericThenLang) {
    const struct {
        const char* all;
        const char* numeric;
        const char* lang;
        char expected;
    } cases[] = {
        {"de_DE.UTF-8", nullptr, nullptr, ','},
        {"en_US.UTF-8", "de_DE.UTF-8", "de_DE.UTF-8", '.'},
        {nullptr, "de_DE.UTF-8", "en_GB.UTF-8", ','},
        {nullptr, nullptr, "fr_FR.UTF-8", ','},
        {nullptr, nullptr, "de_CH.UTF-8", '.'},
        {"C", nullptr, nullptr, '.'},
        {"POSIX", "de_DE.UTF-8", nullptr, '.'},
        {"de_DE@euro", nullptr, nullptr, ','},
        {"ar_EG.UTF-8", nullptr, nullptr, '.'},  // the Arabic decimal mark is not ASCII
    };
    for (const auto& c : cases) {
        LocaleEnvironment environment(c.all, c.numeric, c.lang);
        EXPECT_EQ(systemDecimalSeparator(), c.expected)
            << (c.all ? c.all : "-") << " " << (c.numeric ? c.numeric : "-") << " "
            << (c.lang ? c.lang : "-");
    }
}

TEST(SystemDecimalSeparator, ReadsAChangedEnvironmentAgain) {
    LocaleEnvironment german("de_DE.UTF-8", nullptr, nullptr);
    EXPECT_EQ(systemDecimalSeparator(), ',');
    setenv("LC_ALL", "en_US.UTF-8", 1);
    EXPECT_EQ(systemDecimalSeparator(), '.');
}

}  // namespace
}  // namespace noten
