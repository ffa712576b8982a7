// Recognition of the host from its executable path, and the version reader it relies on.
#include <gtest/gtest.h>

#include <string.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "engine/core/app_profile.h"
#include "engine/core/process_state.h"
#include "engine/testing/typing_driver.h"

namespace {

using fake::VersionResource;

unsigned Parse(const std::vector<BYTE>& bytes) {
  // An exact-size heap copy, so that a read past the end is caught by the address sanitizer.
  std::vector<BYTE> exact(bytes);
  return ParseProductMajorVersion(exact.empty() ? nullptr : exact.data(), exact.size());
}

TEST(VersionResource, GivesTheMajorProductVersionNotTheFileVersion) {
  EXPECT_EQ(Parse(VersionResource(9, 4)), 9u);
  EXPECT_EQ(Parse(VersionResource(0xFFFF)), 0xFFFFu);
}

// The data of the first RT_VERSION entry of a compiled .res file.
std::vector<BYTE> VersionFromResFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<BYTE> res((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto dword = [&](size_t at) {
    return static_cast<uint32_t>(res[at] | res[at + 1] << 8 | res[at + 2] << 16 | static_cast<uint32_t>(res[at + 3]) << 24);
  };
  const unsigned kRtVersion = 16;
  for (size_t at = 0; at + 12 <= res.size();) {
    uint32_t dataSize = dword(at);
    uint32_t headerSize = dword(at + 4);
    bool ordinalType = res[at + 8] == 0xFF && res[at + 9] == 0xFF;
    if (ordinalType && (res[at + 10] | res[at + 11] << 8) == kRtVersion) {
      return std::vector<BYTE>(res.begin() + static_cast<long>(at + headerSize),
                               res.begin() + static_cast<long>(at + headerSize + dataSize));
    }
    at += (headerSize + dataSize + 3) & ~3u;
  }
  return {};
}

TEST(VersionResource, ReadsWhatTheResourceCompilerWrites) {
  std::vector<BYTE> version = VersionFromResFile(VIREL_VERSION_SAMPLE);
  ASSERT_FALSE(version.empty());
  EXPECT_EQ(Parse(version), 9u);
}

TEST(VersionResource, MalformedResourcesYieldZeroWithoutReadingOutside) {
  std::vector<BYTE> good = VersionResource(9);
  for (size_t n = 0; n < good.size(); ++n) {
    std::vector<BYTE> cut(good.begin(), good.begin() + static_cast<long>(n));
    SCOPED_TRACE(n);
    EXPECT_EQ(Parse(cut), 0u);  // the declared length always exceeds the cut buffer
  }

  std::vector<BYTE> longer = good;
  longer[0] = 0xFF;
  longer[1] = 0x7F;
  EXPECT_EQ(Parse(longer), 0u);

  std::vector<BYTE> shortLength = good;
  shortLength[0] = 50;
  shortLength[1] = 0;
  EXPECT_EQ(Parse(shortLength), 0u);

  std::vector<BYTE> noValue = good;
  noValue[2] = noValue[3] = 0;
  EXPECT_EQ(Parse(noValue), 0u);

  std::vector<BYTE> unterminatedKey(good.begin(), good.begin() + 38);
  unterminatedKey[0] = 38;
  unterminatedKey[1] = 0;
  EXPECT_EQ(Parse(unterminatedKey), 0u);

  std::vector<BYTE> badSignature = good;
  badSignature[40] ^= 0xFF;
  EXPECT_EQ(Parse(badSignature), 0u);
}

TEST(VersionResource, AnExecutableWithoutOneGivesZero) {
  fake::StartProcess();
  fake::world().versionResource.clear();
  EXPECT_EQ(GetExeMajorVersion("C:\\x\\psp.exe"), 0u);
  fake::world().versionResource = VersionResource(7);
  EXPECT_EQ(GetExeMajorVersion("C:\\x\\psp.exe"), 7u);
}

TEST(PrefixCompareNoCase, ComparesUpToNCharactersIgnoringCase) {
  EXPECT_EQ(PrefixCompareNoCase("PM", "pmx.e", 2), 0);
  EXPECT_EQ(PrefixCompareNoCase("PSP", "psp", 3), 0);
  EXPECT_EQ(PrefixCompareNoCase("PSP", "ps", 3), 1);
  EXPECT_EQ(PrefixCompareNoCase("P", "PX", 2), -1);
  EXPECT_EQ(PrefixCompareNoCase("", "", 2), 0);
  EXPECT_EQ(PrefixCompareNoCase("PM", "PN", 2), -1);
}

TEST(PrefixCompareNoCase, BytesAbove0x7FCompareAsUnsigned) {
  EXPECT_EQ(PrefixCompareNoCase("PM", "\xE9X", 2), -1);
  EXPECT_EQ(PrefixCompareNoCase("\xFF", "\xFF", 1), 0);
  EXPECT_EQ(PrefixCompareNoCase("\xFF", "A", 1), 1);
}

struct ProfileCase {
  const char* path;
  int productMajor;  // negative: no version resource
  ApplicationProfile match;
};

class ProfileMatching : public ::testing::TestWithParam<ProfileCase> {};

TEST_P(ProfileMatching, TheFirstMatchingRowDecides) {
  const ProfileCase& c = GetParam();
  fake::StartProcess();
  if (c.productMajor >= 0) fake::world().versionResource = VersionResource(static_cast<unsigned>(c.productMajor));
  MatchApplicationProfile(c.path);
  EXPECT_EQ(profile, c.match);
}

INSTANTIATE_TEST_SUITE_P(
    ExecutableNames, ProfileMatching,
    ::testing::Values(
        ProfileCase{"C:\\Adobe\\Dreamweaver.exe", -1, profileDream},
        ProfileCase{"C:\\Eudora\\EUDORA.EXE", -1, profileEudor},
        ProfileCase{"C:\\Adobe\\photoshop.exe", -1, profilePhoto},
        ProfileCase{"C:\\Adobe\\FrameMaker.exe", -1, profileFrame},
        ProfileCase{"C:\\Adobe\\Illustrator.exe", -1, profileFrame},
        ProfileCase{"C:\\Office\\soffice.exe", -1, profileSoffi},
        ProfileCase{"C:\\Office\\WINWORD.EXE", -1, profileWinwo},
        ProfileCase{"C:\\Adobe\\PMX.exe", -1, profileFrame},
        ProfileCase{"C:\\Adobe\\pm.exe", -1, profileFrame},
        ProfileCase{"C:\\Jasc\\psp.exe", 5, profilePsp},
        ProfileCase{"C:\\Jasc\\PSP.EXE", -1, profilePsp},
        ProfileCase{"C:\\Jasc\\psp.exe", 9, profileNone},
        ProfileCase{"C:\\Opera\\opera.exe", 7, profileOpera},
        ProfileCase{"C:\\Opera\\opera.exe", 6, profileNone},
        ProfileCase{"C:\\Opera\\opera.exe", -1, profileNone},
        ProfileCase{"C:\\Windows\\notepad.exe", -1, profileNotep},
        ProfileCase{"C:\\Office\\POWERPNT.EXE", -1, profilePower},
        ProfileCase{"C:\\Office\\MSACCESS.EXE", -1, profileMsacc},
        ProfileCase{"C:\\Mozilla\\thunderbird.exe", -1, profileMozil},
        ProfileCase{"C:\\Mozilla\\Mozilla.exe", -1, profileMozil},
        ProfileCase{"C:\\Mozilla\\firefox.exe", -1, profileMozil},
        ProfileCase{"C:\\Kavi\\KAVITHAI.EXE", -1, profileKavit},
        ProfileCase{"C:\\Windows\\wordpad.exe", -1, profileWordp},
        ProfileCase{"C:\\Yahoo\\YahooMessenger.exe", -1, profileYahoo},
        ProfileCase{"C:\\AbiSuite\\AbiWord.exe", -1, profileAbiwo},
        ProfileCase{"C:\\Windows\\mspaint.exe", -1, profileMspai},
        ProfileCase{"C:\\Windows\\explorer.exe", -1, profileNone},
        ProfileCase{"C:\\Tools\\DREA.exe", -1, profileNone},
        ProfileCase{"C:\\Tools\\P.exe", -1, profileNone},
        ProfileCase{"DREAMWEAVER.EXE", -1, profileNone},     // no backslash
        ProfileCase{"\\DREAMWEAVER.EXE", -1, profileNone},   // a backslash at position 0 is not looked at
        ProfileCase{"C:\\Tools\\", -1, profileNone},         // empty name
        ProfileCase{"", -1, profileNone},
        ProfileCase{"C:\\T\xE9l\xE9\\\xE9\xFF\x80\xC0z.exe", -1, profileNone},
        ProfileCase{"C:\\T\\PM\xFF\xFF.exe", -1, profileFrame}));

TEST(ProfileMatching, VersionIsReadOnlyForRowsThatAskForIt) {
  fake::StartProcess();
  MatchApplicationProfile("C:\\Windows\\notepad.exe");
  EXPECT_EQ(fake::CountCalls("GetFileVersionInfoSizeA"), 0);
  MatchApplicationProfile("C:\\Jasc\\psp.exe");
  EXPECT_EQ(fake::CountCalls("GetFileVersionInfoSizeA"), 1);
}

}  // namespace
