// The plain text of HTML cell texts that sorting and filtering compare.

#include <gtest/gtest.h>

#include "grid/core/HtmlStrip.h"

namespace {

TEST(HtmlPlainText, TagsGoLineTagsBreakLoneBracketsStay)
{
    const struct {
        String Html;
        String Plain;
    } Cases[] = {
        {"<b>bold</b> text", "bold text"},
        {"a<br>b<HR>c<Br>d", "a\r\nb\r\nc\r\nd"},
        {"x < y", "x < y"},
        {"<i>a</i> < b", "a < b"},
        {"a > b <i>c</i>", "a > b c"},
        {"<font color=\"red\">&amp;1</font>", "&amp;1"},
        {"<br/>", ""},
        {"", ""},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(HtmlToPlainText(C.Html), C.Plain) << C.Html;
}

} // namespace
