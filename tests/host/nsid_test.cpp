#include "host/nsid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include "host/job_interfaces.h"
#include "host/project_interfaces.h"

namespace {

TEST(NsId, ParsesFieldsInOrder) {
  constexpr nsID id = nsIDFromText("{1B9CE360-B200-483A-A319-AD51D5C39C1F}");
  EXPECT_EQ(id.Data1, 0x1B9CE360u);
  EXPECT_EQ(id.Data2, 0xB200u);
  EXPECT_EQ(id.Data3, 0x483Au);
  const std::array<std::uint8_t, 8> tail{0xA3, 0x19, 0xAD, 0x51, 0xD5, 0xC3, 0x9C, 0x1F};
  EXPECT_TRUE(std::equal(tail.begin(), tail.end(), std::begin(id.Data4)));
}

// The identifier is the component model's GUID, byte for byte: 16 bytes, the
// first three fields little-endian on these platforms, then the eight bytes.
TEST(NsId, HasTheLayoutOfAGuid) {
  static_assert(sizeof(nsID) == 16);
  constexpr nsID id = nsIDFromText("{01020304-0506-0708-090A-0B0C0D0E0F10}");
  unsigned char bytes[sizeof(nsID)];
  std::memcpy(bytes, &id, sizeof bytes);
  const unsigned char expected[] = {4, 3, 2, 1, 6, 5, 8, 7, 9, 10, 11, 12, 13, 14, 15, 16};
  EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), std::begin(bytes)));
}

TEST(NsId, AcceptsEitherCaseAndPrintsUpperCase) {
  const auto lower = nsIDParse("{2a3d85ed-0c31-f2fc-f0f7-49eebf134f8d}");
  ASSERT_TRUE(lower);
  EXPECT_TRUE(*lower == nsIDFromText("{2A3D85ED-0C31-F2FC-F0F7-49EEBF134F8D}"));
  EXPECT_EQ(nsIDToString(*lower), "{2A3D85ED-0C31-F2FC-F0F7-49EEBF134F8D}");
}

TEST(NsId, RejectsMalformedText) {
  for (const char* text : {
           "",
           "1B9CE360-B200-483A-A319-AD51D5C39C1F",     // no braces
           "{1B9CE360-B200-483A-A319-AD51D5C39C1F",    // no closing brace
           "{1B9CE360-B200-483A-A319-AD51D5C39C1}",    // one digit short
           "{1B9CE360-B200-483A-A319-AD51D5C39C1FF}",  // one digit long
           "{1B9CE360_B200-483A-A319-AD51D5C39C1F}",   // wrong separator
           "{1B9CE36G-B200-483A-A319-AD51D5C39C1F}",   // not a digit
           "{1B9CE360-B200-483A-A319AAD51D5C39C1F}",   // dash missing inside the tail
       }) {
    EXPECT_FALSE(nsIDParse(text)) << text;
  }
}

// The identifiers the library asks the host for, exactly as the host knows them.
TEST(NsId, InterfaceIdentifiersAreTheHostsOwn) {
  const std::pair<nsID, std::string> table[] = {
      {InterfaceIdOf<ISBUrlServices>, "{2A3D85ED-0C31-F2FC-F0F7-49EEBF134F8D}"},
      {InterfaceIdOf<ISBFileUrl>, "{1B9CE360-B200-483A-A319-AD51D5C39C1F}"},
      {InterfaceIdOf<ISBFileTypeProvider>, "{D4620F93-E556-93B1-20F6-5CE115B0DC0A}"},
      {InterfaceIdOf<ISBLockable>, "{D4620F88-E556-93B1-20F6-5CE115B0DC0A}"},
      {InterfaceIdOf<ISBDocumentStorage>, "{16307EAB-AED8-62C0-8085-E227F363E8DF}"},
      {InterfaceIdOf<ISBViewHost>, "{AB22E891-C363-11D5-812D-005004D02F6F}"},
      {InterfaceIdOf<ISBJobTransfer>, "{6CF8CDE8-1BA0-43FF-FE16-8DF5498F573E}"},
      {InterfaceIdOf<ISBZarnServerJob>, "{A77752A6-3DCE-4541-BBAD-7FAC2BB424B2}"},
      {InterfaceIdOf<ISBJobHost>, "{5D1E4D7B-AD8C-45C8-AFF2-D76DB7AF2659}"},
      {CLSID_ZarnServerJob, "{47376B53-F04A-422B-92BF-50B254AD15FA}"},
  };
  for (const auto& [id, text] : table) EXPECT_EQ(nsIDToString(id), text);
}

// Interfaces the library never asks for have no identifier of their own and
// must not inherit IUnknown's.
static_assert(HasInterfaceId<ISBFileUrl>);
static_assert(!HasInterfaceId<ISBUrl>);
static_assert(!HasInterfaceId<ISBContainerRoot>);
static_assert(!HasInterfaceId<ISBJob>);

}  // namespace
