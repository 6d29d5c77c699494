#include <clocale>
#include <gtest/gtest.h>
#include <string>

#include "shell/time_stamp.h"

namespace {
// Runs a test under a locale of LC_ALL and puts the previous one back.
class LocaleGuard {
  public:
    explicit LocaleGuard(const char* name) : saved_(std::setlocale(LC_ALL, nullptr)) {
        ok_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~LocaleGuard() { std::setlocale(LC_ALL, saved_.c_str()); }
    bool ok() const { return ok_; }

  private:
    std::string saved_;
    bool ok_ = false;
};

std::tm sample_time() {
    std::tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 5;
    t.tm_hour = 14;
    t.tm_min = 7;
    t.tm_sec = 9;
    t.tm_wday = 2;
    t.tm_yday = 64;
    return t;
}
} // namespace

TEST(TimeStamp, FormatsWithTheGivenFormat) {
    LocaleGuard utf8("C.UTF-8");
    ASSERT_TRUE(utf8.ok());
    const std::tm t = sample_time();
    EXPECT_EQ(time_stamp_at("%d/%m/%Y %T", t), "05/03/2024 14:07:09");
    EXPECT_EQ(time_stamp_at("le %d à %H h", t), "le 05 à 14 h");
    EXPECT_EQ(time_stamp_at("no conversion", t), "no conversion");
}

TEST(TimeStamp, EmptyFormatGivesOneBlank) {
    EXPECT_EQ(time_stamp_at("", sample_time()), " ");
    EXPECT_EQ(time_stamp(""), " ");
}

TEST(TimeStamp, FormatThatFormatsToNothingEndsWithOneBlank) {
    LocaleGuard utf8("C.UTF-8");
    ASSERT_TRUE(utf8.ok());
    // "%p" formats to nothing in locales without a morning/evening marker; %Z
    // does the same for a time whose zone is unknown. Neither may make the
    // buffer grow for ever.
    std::tm t = sample_time();
    t.tm_zone = "";
    t.tm_isdst = -1;
    EXPECT_EQ(time_stamp_at("%Z", t), " ");
}

TEST(TimeStamp, ResultLongerThanTheFirstBufferGrowsUntilItFits) {
    LocaleGuard utf8("C.UTF-8");
    ASSERT_TRUE(utf8.ok());
    const std::tm t = sample_time();
    for (std::size_t width : {253u, 254u, 255u, 256u, 509u, 510u, 1000u}) {
        const std::string filler(width, 'x');
        EXPECT_EQ(time_stamp_at(filler + "%Y", t), filler + "2024") << width;
    }
}

TEST(TimeStamp, HugeFieldWidthIsRefusedNotBuilt) {
    LocaleGuard utf8("C.UTF-8");
    ASSERT_TRUE(utf8.ok());
    EXPECT_EQ(time_stamp_at("%2000000000Y", sample_time()), " ");
    // A wide field that fits is still honoured.
    EXPECT_EQ(time_stamp_at("%0600Y", sample_time()), std::string(596, '0') + "2024");
}

TEST(TimeStamp, FormatTheLocaleCannotHoldGivesOneBlank) {
    LocaleGuard ascii("C");
    ASSERT_TRUE(ascii.ok());
    EXPECT_EQ(time_stamp_at("%Y é", sample_time()), " ");
    EXPECT_EQ(time_stamp_at("%Y", sample_time()), "2024");
}

TEST(TimeStamp, InvalidUtf8FormatGivesOneBlank) {
    LocaleGuard utf8("C.UTF-8");
    ASSERT_TRUE(utf8.ok());
    EXPECT_EQ(time_stamp_at("%Y \xff", sample_time()), " ");
}

TEST(TimeStamp, NowUsesTheCurrentYear) {
    LocaleGuard utf8("C.UTF-8");
    ASSERT_TRUE(utf8.ok());
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    EXPECT_EQ(time_stamp("%Y"), std::to_string(local.tm_year + 1900));
}
