#include "update/format_bytes.h"

#include <gtest/gtest.h>

namespace pluvik {
namespace {

TEST(FormatBytes, ShortRenderingKeepsThreeDigitsAndCutsOff) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "0 字节"},        {500, "500 字节"},       {1023, "1023 字节"},    {1024, "1.00 KB"},
        {1535, "1.49 KB"},  // 1.499: never rounded up
        {2047, "1.99 KB"},    {10239, "9.99 KB"},      {10240, "10.0 KB"},     {20480, "20.0 KB"},
        {102400, "100 KB"},   {1023999, "999 KB"},     {1024000, "0.97 MB"},  // a thousand KB and more reads
                                                                              // in the next unit
        {1048576, "1.00 MB"}, {5368709120, "5.00 GB"}, {INT64_MAX, "7.99 EB"},
    };
    for (const auto& [value, expected] : cases) EXPECT_EQ(shortByteSize(value), expected) << value;
}

TEST(FormatBytes, AboveOneKilobyteThePlainNumberComesFirst) {
    EXPECT_EQ(FormatBytes(1000), "1000 字节");
    EXPECT_EQ(FormatBytes(1024), "1.00 KB");
    EXPECT_EQ(FormatBytes(1025), "1025字节(1.00 KB)");
    EXPECT_EQ(FormatBytes(2048), "2048字节(2.00 KB)");
    EXPECT_EQ(FormatBytes(20480), "20480字节(20.0 KB)");
    EXPECT_EQ(FormatBytes(1048576), "1048576字节(1.00 MB)");
}

}  // namespace
}  // namespace pluvik
