#include "core/PathRules.h"

#include <gtest/gtest.h>

using dorvel::core::PathRules;

namespace {
const PathRules& posix = PathRules::Posix();
const PathRules& windows = PathRules::Windows();
}  // namespace

TEST(PathRules, TheExtensionStartsAtTheLastDotAfterTheLastSeparator) {
    EXPECT_EQ(windows.extension("C:\\LETTERS\\REPORT.DOC"), ".DOC");
    EXPECT_EQ(windows.extension("C:\\A.B\\REPORT"), "") << "a dot in a folder is none";
    EXPECT_EQ(windows.extension("A.B:REPORT"), "") << "a drive's colon ends a part too";
    EXPECT_EQ(windows.extension(".profile"), ".profile");
    EXPECT_EQ(posix.extension("/srv/a.b/report"), "");
    EXPECT_EQ(posix.extension("/srv/a:b.doc"), ".doc");
    EXPECT_EQ(posix.extension("/srv/a.b:report"), ".b:report") << "a colon is a character";
    EXPECT_EQ(posix.extension("/srv/x\\y.doc"), ".doc");
}

TEST(PathRules, TheFileNamePartFollowsTheLastSeparator) {
    EXPECT_EQ(windows.fileNamePart("C:\\LETTERS\\REPORT.DOC"), "REPORT.DOC");
    EXPECT_EQ(windows.fileNamePart("C:REPORT.DOC"), "REPORT.DOC");
    EXPECT_EQ(windows.fileNamePart("dorvel.exe"), "dorvel.exe");
    EXPECT_EQ(posix.fileNamePart("/usr/bin/dorvel"), "dorvel");
    EXPECT_EQ(posix.fileNamePart("/srv/back\\slash"), "back\\slash");
}

TEST(PathRules, ASeparatorIsAppendedOnlyWhereMissing) {
    EXPECT_EQ(windows.withSeparator("C:\\MAIL"), "C:\\MAIL\\");
    EXPECT_EQ(windows.withSeparator("C:\\MAIL\\"), "C:\\MAIL\\");
    EXPECT_EQ(posix.withSeparator("/mail"), "/mail/");
    EXPECT_EQ(posix.withSeparator("/mail/"), "/mail/");
    EXPECT_EQ(posix.withSeparator("/mail\\"), "/mail\\/");
}

TEST(PathRules, ADriveGetsItsSeparatorAsARootOnlyOnWindows) {
    EXPECT_EQ(windows.rootText("C:"), "C:\\");
    EXPECT_EQ(windows.rootText("C:\\LETTERS"), "C:\\LETTERS");
    EXPECT_EQ(posix.rootText("/srv/odd:"), "/srv/odd:");
}

TEST(PathRules, TheFolderOfAPathKeepsTheTopsSeparator) {
    EXPECT_EQ(posix.folderOf("/srv/letters"), "/srv");
    EXPECT_EQ(posix.folderOf("/srv"), "/");
    EXPECT_EQ(posix.folderOf("letters"), "");
    EXPECT_EQ(windows.folderOf("C:\\LETTERS\\OLD"), "C:\\LETTERS");
    EXPECT_EQ(windows.folderOf("C:\\LETTERS"), "C:\\");
}

TEST(PathRules, TheFirstRunsDeletedFilesFolderIsTheSystemsOwn) {
    EXPECT_EQ(windows.defaultDeletedFilesFolder("C:\\Users\\op"), "c:\\letters_save");
    EXPECT_EQ(posix.defaultDeletedFilesFolder("/home/op"), "/home/op/letters_save");
    EXPECT_EQ(posix.defaultDeletedFilesFolder("/"), "/letters_save");
}

TEST(PathRules, OnlyAWholePathNamesAFolderRoot) {
    EXPECT_TRUE(posix.isWholePath("/home/op"));
    EXPECT_FALSE(posix.isWholePath("letters"));
    EXPECT_FALSE(posix.isWholePath("C:\\Letters"));
    EXPECT_TRUE(windows.isWholePath("C:\\Letters"));
    EXPECT_TRUE(windows.isWholePath("d:/Letters"));
    EXPECT_TRUE(windows.isWholePath("\\\\server\\share"));
    EXPECT_FALSE(windows.isWholePath("C:Letters")) << "relative to the drive's current folder";
    EXPECT_FALSE(windows.isWholePath("\\Letters"));
    EXPECT_FALSE(windows.isWholePath("/home/op"));
}

TEST(PathRules, TrailingSeparatorsGoExceptAtTheTop) {
    EXPECT_EQ(posix.withoutTrailingSeparators("/home/op//"), "/home/op");
    EXPECT_EQ(posix.withoutTrailingSeparators("/"), "/");
    EXPECT_TRUE(posix.isTop("/"));
    EXPECT_EQ(windows.withoutTrailingSeparators("C:\\Letters\\"), "C:\\Letters");
    EXPECT_EQ(windows.withoutTrailingSeparators("C:\\"), "C:\\");
    EXPECT_EQ(windows.withoutTrailingSeparators("C:"), "C:\\");
    EXPECT_TRUE(windows.isTop("C:\\"));
    EXPECT_FALSE(windows.isTop("C:\\Letters"));
    EXPECT_FALSE(posix.isTop("C:\\"));
}
