#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "cleaner/file_time.h"

namespace pluvik::test {

// A fresh folder per test, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path =
            std::filesystem::temp_directory_path() / ("pluvik-" + std::string(info->test_suite_name()) + "-" +
                                                      info->name() + "-" + std::to_string(::getpid()));
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder() { std::filesystem::remove_all(m_path); }
    std::string file(const std::string& name) const { return (m_path / name).string(); }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// Sets the local time zone for the life of the object.
class TimeZone {
public:
    explicit TimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) m_old = old, m_had = true;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~TimeZone() {
        if (m_had)
            ::setenv("TZ", m_old.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::string m_old;
    bool m_had = false;
};

// A file time from a UTC calendar time.
inline FileTime utcFileTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                            int millisecond = 0) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return kUnixEpochFileTime + static_cast<FileTime>(::timegm(&t)) * kFileTimeTicksPerSecond +
           FileTime{millisecond} * 10'000;
}

}  // namespace pluvik::test
