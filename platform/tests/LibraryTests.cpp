// Libraries by name and the resource-library readers, against a small test library built
// beside the test programs (libPlatformSysTestRes.so).
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

#include "platform/Library.h"
#include "platform/Paths.h"
#include "testing/TempHome.h"
#include "testing/TestFiles.h"

namespace {

std::shared_ptr<Library> TestLibrary() { return Library::Load("PlatformSysTestRes.dll"); }

TEST(Library, DllNameMeansLibSoInTheProgramFolder) {
    auto library = TestLibrary();
    ASSERT_TRUE(library);
    EXPECT_EQ(library->Path(), GetProgramFolder() + "/libPlatformSysTestRes.so");
}

TEST(Library, NameIsResolvedWithoutRegardToCase) {
    auto library = Library::Load("platformsystestres.DLL");
    ASSERT_TRUE(library);
    EXPECT_NE(library->Symbol("QuillmarRes_String"), nullptr);
}

TEST(Library, LinuxFormsOfTheNameWorkToo) {
    EXPECT_TRUE(Library::Load("libPlatformSysTestRes.so"));
    EXPECT_TRUE(Library::Load("PlatformSysTestRes"));
}

TEST(Library, MissingOrBadNamesGiveNull) {
    EXPECT_FALSE(Library::Load("NoSuchLibrary.dll"));
    EXPECT_FALSE(Library::Load(""));
    EXPECT_FALSE(Library::Load("../bin/PlatformSysTestRes.dll"));
    EXPECT_FALSE(Library::Load("sub\\PlatformSysTestRes.dll"));
    EXPECT_FALSE(Library::Load(".dll"));
}

TEST(Library, LoadPathRefusesBareNamesFoldersAndNonLibraries) {
    TempHome folders;
    EXPECT_FALSE(Library::LoadPath("libPlatformSysTestRes.so"));
    EXPECT_FALSE(Library::LoadPath(folders.Root()));
    WriteFileBytes(folders.Root() + "/libFake.so", "not a library");
    EXPECT_FALSE(Library::LoadPath(folders.Root() + "/libFake.so"));
    EXPECT_FALSE(Library::LoadPath(folders.Root() + "/libMissing.so"));
    EXPECT_TRUE(Library::LoadPath(GetProgramFolder() + "/libPlatformSysTestRes.so"));
}

TEST(Library, SymbolOfAbsentNameIsNull) {
    auto library = TestLibrary();
    ASSERT_TRUE(library);
    EXPECT_EQ(library->Symbol("NoSuchExport"), nullptr);
    EXPECT_EQ(library->Symbol(nullptr), nullptr);
}

TEST(Library, TwoOwnersShareOneLoadedLibrary) {
    auto first = TestLibrary();
    auto second = TestLibrary();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->Symbol("QuillmarRes_String"), second->Symbol("QuillmarRes_String"));
    first.reset();
    EXPECT_EQ(LoadString(second.get(), 1), CString("Hello"));
}

TEST(LoadString, ReadsUtf8Texts) {
    auto library = TestLibrary();
    ASSERT_TRUE(library);
    EXPECT_EQ(LoadString(library.get(), 1), CString("Hello"));
    EXPECT_EQ(LoadString(library.get(), 2), CString(u"Größe €"));
}

TEST(LoadString, AbsentTextsAreEmpty) {
    auto library = TestLibrary();
    ASSERT_TRUE(library);
    EXPECT_TRUE(LoadString(library.get(), 999).IsEmpty());
    EXPECT_TRUE(LoadString(library.get(), 6).IsEmpty());
    EXPECT_TRUE(LoadString(nullptr, 1).IsEmpty());
}

TEST(LoadString, LibraryWithoutTheExportGivesEmpty) {
    auto platform = Library::LoadPath(GetProgramFolder() + "/libQuillmarPlatform.so");
    ASSERT_TRUE(platform);
    EXPECT_TRUE(LoadString(platform.get(), 1).IsEmpty());
    EXPECT_TRUE(LoadIconSvg(platform.get(), 12).empty());
}

TEST(LoadString, TruncatesToMaxLength) {
    auto library = TestLibrary();
    ASSERT_TRUE(library);
    EXPECT_EQ(LoadString(library.get(), 3).GetLength(), 259);
    EXPECT_EQ(LoadString(library.get(), 3, 10), CString("xxxxxxxxxx"));
    EXPECT_EQ(LoadString(library.get(), 3, 1000).GetLength(), 600);
    EXPECT_TRUE(LoadString(library.get(), 1, 0).IsEmpty());
    EXPECT_TRUE(LoadString(library.get(), 1, -5).IsEmpty());
}

TEST(LoadString, NeverCutsASurrogatePairInHalf) {
    auto library = TestLibrary();
    ASSERT_TRUE(library);
    const CString cut = LoadString(library.get(), 4, 259);
    EXPECT_EQ(cut, CString(std::u16string(258, u'a')));
    const CString whole = LoadString(library.get(), 4, 260);
    EXPECT_EQ(whole.Right(2), CString(u"\U0001F600"));
}

TEST(LoadString, InvalidBytesBecomeReplacementCharacters) {
    auto library = TestLibrary();
    ASSERT_TRUE(library);
    EXPECT_EQ(LoadString(library.get(), 5), CString(u"bad \uFFFD byte"));
}

TEST(LoadIconSvg, ReadsSvgText) {
    auto library = TestLibrary();
    ASSERT_TRUE(library);
    EXPECT_EQ(LoadIconSvg(library.get(), 12).rfind("<svg", 0), 0u);
    EXPECT_TRUE(LoadIconSvg(library.get(), 13).empty());
    EXPECT_TRUE(LoadIconSvg(nullptr, 12).empty());
}

}   // namespace
