#include "core/help_topics.h"
#include "core/text.h"

#include <gtest/gtest.h>

namespace tracewick {

TEST(HelpTopics, FindsUnderlinedHeadingsOnly) {
    const std::string text =
        "Tracewick\n=========\n\nSee the About page below.\nAbout page\n\nAbout page\r\n==\r\nbody\n";
    EXPECT_EQ(FindHelpTopic(text, "Tracewick"), 0u);
    // The mention in running text and the line without an underline are skipped.
    EXPECT_EQ(FindHelpTopic(text, "About page"), text.find("About page\r\n"));
    EXPECT_EQ(FindHelpTopic(text, "Ping page"), std::string_view::npos);
    EXPECT_EQ(FindHelpTopic("About page", "About page"), std::string_view::npos);
    // Help opened with no page at hand shows the overview.
    EXPECT_EQ(HelpTopicForPage(-1), kHelpOverviewTopic);
}

TEST(HelpTopics, LineEndsBecomeCrLf) {
    EXPECT_EQ(ToCrLf("a\nb\r\nc\rd"), "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(ToCrLf("\n\n"), "\r\n\r\n");
}

}  // namespace tracewick
