#include "ui/qt/PathText.h"

#include <gtest/gtest.h>

#include <random>

using dorvel::ui::PathBytes;
using dorvel::ui::ShownPath;

TEST(PathText, Utf8IsShownAsItsText) {
    EXPECT_EQ(ShownPath("/srv/Листи/Звіт.txt"), QStringLiteral("/srv/Листи/Звіт.txt"));
    EXPECT_EQ(PathBytes(QStringLiteral("/srv/Листи/Звіт 😀.txt")), "/srv/Листи/Звіт 😀.txt");
}

TEST(PathText, EveryByteStringComesBackUnchanged) {
    // Latin-1, Windows-1251, cut sequences, overlong forms, encoded surrogates.
    for (const std::string& bytes :
         {std::string("r\xE9sum\xE9"), std::string("\xCB\xE8\xF1\xF2\xE8"), std::string("a\xD0"),
          std::string("\xC0\xAF"), std::string("\xED\xA0\x80"), std::string("\xF4\x90\x80\x80"),
          std::string("\xFF\xFE", 2), std::string("\0x", 2)}) {
        EXPECT_EQ(PathBytes(ShownPath(bytes)), bytes);
    }
    std::mt19937 random(20261209);
    for (int run = 0; run < 2000; ++run) {
        std::string bytes(random() % 24, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        ASSERT_EQ(PathBytes(ShownPath(bytes)), bytes) << "run " << run;
    }
}

TEST(PathText, ABadByteIsShownAsOneCharacterTheOperatorCanEditAround) {
    const QString shown = ShownPath("a\xE9z");
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0], QLatin1Char('a'));
    EXPECT_EQ(shown[2], QLatin1Char('z'));
    EXPECT_EQ(PathBytes(shown.left(2) + QStringLiteral("y")), "a\xE9y");
}
