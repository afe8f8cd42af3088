#include "browse/page_address.h"

#include <gtest/gtest.h>

using namespace pluvik;

TEST(PageAddressTest, AnUntitledPageShowsItsAddressNotATitleOfItsOwn) {
    const std::vector<std::string> page{"http://www.result.test/s?wd=天",
                                        "http://www.result.test/s?wd=%E5%A4%A9"};
    for (const char* shown : {"http://www.result.test/s?wd=%E5%A4%A9", "www.result.test/s?wd=天", "", "  "})
        EXPECT_FALSE(hasOwnTitle(shown, page)) << shown;
    EXPECT_TRUE(hasOwnTitle("天气 - 搜索", page));
    // A word of the address is a title all the same.
    EXPECT_TRUE(hasOwnTitle("result", page));
    EXPECT_FALSE(hasOwnTitle("web.test", {"http://web.test/"}));
    EXPECT_FALSE(hasOwnTitle("Pluvik.htm", {"file:///opt/pluvik/Pluvik.htm"}));
    EXPECT_TRUE(hasOwnTitle("Pluvik.htm", {"http://web.test/Pluvik.htm"}));
}
