// The asset-pack loader: finding entries, refusing damaged packs with the
// player's message, transparency, the upside-down shot sheets and the widgets
// that outlive a reload.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "fakes/Fakes.h"
#include "graphics/AssetPack.h"
#include "graphics/DXCtrl.h"
#include "graphics/PackBuilder.h"
#include "platform/Files.h"

using namespace packtest;
namespace fs = std::filesystem;

namespace {

constexpr uint32_t Magenta = 0x00FF00FF;
constexpr uint32_t Black = 0x00000000;

// Every entry has its own size and colours: width i + 3, rows coloured by
// their number, a magenta pixel at (1, 1) and a black one at (2, 1).
uint32_t EntryPixel(int entry, int32_t x, int32_t y)
{
    if (y == 1 && x == 1)
        return Magenta;
    if (y == 1 && x == 2)
        return Black;
    return uint32_t(entry + 1) << 16 | uint32_t(y) << 8 | uint32_t(x + 16);
}

int32_t EntryWidth(int entry) { return entry + 3; }
int32_t EntryHeight(int entry) { return 3 + entry % 4; }

std::vector<uint8_t> EntryBmp(int entry)
{
    return MakeBmp(EntryWidth(entry), EntryHeight(entry), [entry](int32_t x, int32_t y) { return EntryPixel(entry, x, y); });
}

std::vector<std::vector<uint8_t>> Entries(int count)
{
    std::vector<std::vector<uint8_t>> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back(EntryBmp(i));
    return entries;
}

std::vector<uint8_t> GoodPack(int count = PackEntryCount) { return MakePack(Entries(count)); }

class AssetPackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Folder = MakeTempFolder("assetpack");
        SavedPath = AssetPackPath;
        AssetPackPath = (Folder / "Data.pp").string();
    }
    void TearDown() override
    {
        ReleaseAssets();
        AssetPackPath = SavedPath;
        fs::remove_all(Folder);
    }
    void Write(const std::vector<uint8_t>& bytes) { WriteFile(AssetPackPath, bytes); }

    FakePlatform Fake;
    TDirectDraw DD;
    fs::path Folder;
    std::string SavedPath;
};

size_t OpenFileCount()
{
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EAssetPackError& e) {
        return e.what();
    }
    return "";
}

struct TEntryCase {
    const char* Name;
    std::function<std::vector<uint8_t>()> Pack;
    int Entry;
    int ExpectedEntry; // whose picture comes back (-1: an error)
    const char* Error;
};

void PrintTo(const TEntryCase& c, std::ostream* os) { *os << c.Name; }

class PackEntryTest : public AssetPackTest, public ::testing::WithParamInterface<TEntryCase> {};

std::vector<uint8_t> WithTail(std::vector<uint8_t> pack, std::vector<uint8_t> tail)
{
    pack.insert(pack.end(), tail.begin(), tail.end());
    return pack;
}

std::vector<uint8_t> Cut(std::vector<uint8_t> pack, size_t bytes)
{
    pack.resize(pack.size() - bytes);
    return pack;
}

// A pack whose entry 1 claims far more bytes than the file holds.
std::vector<uint8_t> HugeLengthPack(uint32_t length)
{
    auto pack = MakePack({EntryBmp(0)});
    PutLE32(pack, length);
    const auto second = EntryBmp(1);
    pack.insert(pack.end(), second.begin(), second.end());
    return WithTail(pack, MakePack({EntryBmp(2)}));
}

// clang-format off
const TEntryCase EntryCases[] = {
    {"FirstEntryWithoutSkipping", [] { return GoodPack(); }, 0, 0, nullptr},
    {"LastEntrySkipsTheOthers", [] { return GoodPack(); }, 101, 101, nullptr},
    {"ExtraEntriesChangeNothing", [] { return GoodPack(140); }, 101, 101, nullptr},
    {"EntriesPastTheGameAreReadable", [] { return GoodPack(140); }, 139, 139, nullptr},
    {"OneEntryShort", [] { return GoodPack(101); }, 101, -1, "Stream read error"},
    {"EmptyFile", [] { return std::vector<uint8_t>{}; }, 0, -1, "Stream read error"},
    {"LengthCutShort", [] { return WithTail(GoodPack(3), {0x10, 0x00}); }, 3, -1, "Stream read error"},
    {"LengthCutShortWhileSkipping", [] { return WithTail(GoodPack(3), {0x10, 0x00}); }, 5, -1, "Stream read error"},
    {"ImageCutShort", [] { return Cut(GoodPack(4), 10); }, 3, -1, "Stream read error"},
    {"EntriesBeforeACutImageStillLoad", [] { return Cut(GoodPack(4), 10); }, 2, 2, nullptr},
    {"HugeLength", [] { return HugeLengthPack(0xFFFFFFF0u); }, 1, -1, "Stream read error"},
    {"HugeLengthWhileSkipping", [] { return HugeLengthPack(0xFFFFFFF0u); }, 2, -1, "Stream read error"},
    {"LengthOneByteTooLong", [] { return HugeLengthPack(uint32_t(EntryBmp(1).size() + MakePack({EntryBmp(2)}).size() + 1)); }, 1, -1, "Stream read error"},
    {"NotABmp", [] { return MakePack({{'h', 'e', 'l', 'l', 'o'}}); }, 0, -1, "Bitmap image is not valid"},
    {"EmptyEntry", [] { return MakePack({{}}); }, 0, -1, "Bitmap image is not valid"},
    {"BmpSignatureOverGarbage", [] { return MakePack({{'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30}}); }, 0, -1, "Bitmap image is not valid"},
    {"BmpClaimingAGiantPicture", [] {
         auto bmp = SolidBmp(2, 2, 0x00112233);
         bmp[18] = 0xFF; bmp[19] = 0xFF; bmp[20] = 0x00; bmp[21] = 0x00; // 65535 wide
         bmp[22] = 0xFF; bmp[23] = 0xFF; bmp[24] = 0x00; bmp[25] = 0x00; // 65535 tall
         return MakePack({bmp});
     }, 0, -1, "Bitmap image is not valid"},
};
// clang-format on

TEST_P(PackEntryTest, ReadsTheEntryOrRefusesThePack)
{
    const TEntryCase& c = GetParam();
    Write(c.Pack());
    const size_t openFiles = OpenFileCount();
    if (c.ExpectedEntry >= 0) {
        TSurface* s = LoadPackImage(&DD, AssetPackPath, uint8_t(c.Entry));
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->Width(), EntryWidth(c.ExpectedEntry));
        EXPECT_EQ(s->Height(), EntryHeight(c.ExpectedEntry));
        EXPECT_EQ(s->GetPixel(0, 0), EntryPixel(c.ExpectedEntry, 0, 0));
        EXPECT_EQ(s->GetPixel(s->Width() - 1, s->Height() - 1),
                  EntryPixel(c.ExpectedEntry, s->Width() - 1, s->Height() - 1));
        ASSERT_TRUE(s->HasColorKey());
        EXPECT_EQ(s->ColorKey(), Magenta);
        DD.Release(s);
    } else {
        EXPECT_EQ(ErrorOf([&] { LoadPackImage(&DD, AssetPackPath, uint8_t(c.Entry)); }), c.Error);
    }
    EXPECT_EQ(DD.SurfaceCount(), 0u);
    EXPECT_EQ(OpenFileCount(), openFiles) << "the pack is closed again";
}

INSTANTIATE_TEST_SUITE_P(Entries, PackEntryTest, ::testing::ValuesIn(EntryCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// The game asks for "Data/Data.pp" in its working folder; the player sees the
// file's name and the system's reason.
TEST_F(AssetPackTest, PackThatCannotBeOpenedNamesTheFileAndTheReason)
{
    const fs::path saved = fs::current_path();
    fs::current_path(Folder);
    AssetPackPath = "Data/Data.pp";
    const std::string missing = ErrorOf([&] { LoadAssetPack(&DD); });
    fs::create_directories(Folder / "Data" / "Data.pp");
    const std::string folder = ErrorOf([&] { LoadAssetPack(&DD); });
    fs::current_path(saved);

    EXPECT_EQ(missing, "Cannot open file \"Data/Data.pp\". No such file or directory");
    EXPECT_EQ(folder, "Cannot open file \"Data/Data.pp\". Is a directory");
    EXPECT_EQ(MainMenuButtons, nullptr) << "a failed load creates no widgets";
}

TEST_F(AssetPackTest, FullLoadFillsEverySlotFromItsEntry)
{
    Write(GoodPack());
    LoadAssetPack(&DD);

    for (int i = 0; i < GameSheetCount; ++i) {
        SCOPED_TRACE("game sheet " + std::to_string(i));
        ASSERT_NE(GameSheets[i], nullptr);
        EXPECT_EQ(GameSheets[i]->Width(), EntryWidth(i));
        EXPECT_EQ(GameSheets[i]->Height(), EntryHeight(i));
        // Pixel (0, 0) lent itself to finding the key colour and got its own back.
        EXPECT_EQ(GameSheets[i]->GetPixel(0, 0), EntryPixel(i, 0, 0));
        const bool nearLayer = i >= SheetBackgroundNear && i <= SheetBackgroundNear + 4;
        EXPECT_EQ(GameSheets[i]->ColorKey(), nearLayer ? Black : Magenta);
    }
    for (int i = 0; i < MenuSheetCount; ++i) {
        SCOPED_TRACE("menu sheet " + std::to_string(i));
        ASSERT_NE(MenuSheets[i], nullptr);
        EXPECT_EQ(MenuSheets[i]->Width(), EntryWidth(GameSheetCount + i));
        EXPECT_EQ(MenuSheets[i]->GetPixel(0, 0), EntryPixel(GameSheetCount + i, 0, 0));
        EXPECT_EQ(MenuSheets[i]->ColorKey(), Magenta);
    }
    for (int i = 0; i < FlippedShotSheetCount; ++i) {
        SCOPED_TRACE("flipped shot sheet " + std::to_string(i));
        TSurface* flipped = FlippedShotSheets[i];
        TSurface* shot = GameSheets[SheetShot + i];
        ASSERT_NE(flipped, nullptr);
        ASSERT_EQ(flipped->Width(), shot->Width());
        ASSERT_EQ(flipped->Height(), shot->Height());
        EXPECT_EQ(flipped->ColorKey(), Magenta);
        const int32_t h = shot->Height();
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < shot->Width(); ++x)
                ASSERT_EQ(flipped->GetPixel(x, y), shot->GetPixel(x, h - 1 - y)) << "at " << x << ", " << y;
    }
    EXPECT_EQ(DD.SurfaceCount(), size_t(GameSheetCount + MenuSheetCount + FlippedShotSheetCount));
}

// The near background tiles are cut out on black and show magenta; every
// other sheet is cut out on magenta and shows black.
TEST_F(AssetPackTest, TransparentColourOfEachSheet)
{
    Write(GoodPack());
    LoadAssetPack(&DD);
    TSurface* target = DD.CreateSurface(200, 20);
    for (int i : {2, 3, 5, 7, 8, 22}) {
        SCOPED_TRACE("game sheet " + std::to_string(i));
        target->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, 0x00FFFFFF);
        ASSERT_EQ(target->BltFast(0, 0, GameSheets[i], nullptr, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT), DD_OK);
        const bool nearLayer = i >= 3 && i <= 7;
        EXPECT_EQ(target->GetPixel(1, 1), nearLayer ? Magenta : 0x00FFFFFFu);
        EXPECT_EQ(target->GetPixel(2, 1), nearLayer ? 0x00FFFFFFu : Black);
        EXPECT_EQ(target->GetPixel(0, 0), EntryPixel(i, 0, 0));
    }
    DD.Release(target);
}

TEST_F(AssetPackTest, ReloadReplacesSheetsAndKeepsTheWidgets)
{
    Write(GoodPack());
    LoadAssetPack(&DD);
    TDDBtnCollection* mainMenu = MainMenuButtons;
    TDDOptBtnCollection* options = OptionsMenu;
    TDDEdit* name = NameEdit;
    ASSERT_NE(mainMenu, nullptr);
    EXPECT_EQ(CountryEdit, OptionsMenu->Edit);
    MainMenuButtons->SetSelected(3);
    HelpButtons->SetSelected(2);
    OptionsMenu->Selected = 1;
    YesNoDialog->SetSelected(false);
    NameEdit->Text = "Anna";
    NameEdit->Length = 4;
    CountryEdit->Text = "Norway";
    CountryEdit->Length = 6;
    GameSheets[SheetPlayerShip]->SetPixel(0, 0, 0x00ABCDEF); // drawn into; a reload restores it

    LoadAssetPack(&DD);

    EXPECT_EQ(MainMenuButtons, mainMenu);
    EXPECT_EQ(OptionsMenu, options);
    EXPECT_EQ(NameEdit, name);
    EXPECT_EQ(MainMenuButtons->Selected, 3);
    EXPECT_TRUE(MainMenuButtons->Buttons[3]->Lit);
    EXPECT_EQ(HelpButtons->Selected, 2);
    EXPECT_EQ(HighScoreButtons->Selected, 0);
    EXPECT_EQ(OptionsMenu->Selected, 1);
    EXPECT_FALSE(YesNoDialog->FirstSelected);
    EXPECT_TRUE(OkCancelDialog->FirstSelected);
    EXPECT_EQ(NameEdit->Text, "Anna");
    EXPECT_EQ(CountryEdit->Text, "Norway");
    EXPECT_EQ(GameSheets[SheetPlayerShip]->GetPixel(0, 0), EntryPixel(SheetPlayerShip, 0, 0));
    EXPECT_EQ(DD.SurfaceCount(), size_t(GameSheetCount + MenuSheetCount + FlippedShotSheetCount))
        << "the old sheets were released";
}

// A pack that ends early stops the load at the missing entry: that slot has
// already let go of its old sheet, the later slots keep theirs.
TEST_F(AssetPackTest, ShortPackStopsAtTheMissingEntry)
{
    Write(GoodPack());
    LoadAssetPack(&DD);
    TSurface* laterSheet = GameSheets[51];

    Write(GoodPack(50));
    EXPECT_EQ(ErrorOf([&] { LoadAssetPack(&DD); }), "Stream read error");
    EXPECT_NE(GameSheets[49], nullptr);
    EXPECT_EQ(GameSheets[50], nullptr);
    EXPECT_EQ(GameSheets[51], laterSheet);
    EXPECT_NE(MenuSheets[0], nullptr);
}

// A disk that fails part-way through the pack (a bad sector, a pulled USB
// stick) reads like a pack that ends there: the same error, and the slots
// from the failing entry on are handled as for a short pack.
class TFailingDisk : public IFiles {
public:
    explicit TFailingDisk(int64_t failFrom) : FailFrom(failFrom) { SetFiles(this); }
    ~TFailingDisk() override { SetFiles(nullptr); }
    std::unique_ptr<IReadFile> OpenRead(const std::string& path, std::string& error) override
    {
        struct TFile : IReadFile {
            std::unique_ptr<IReadFile> Real;
            int64_t FailFrom;
            int64_t Size() const override { return Real->Size(); }
            bool ReadAt(void* to, size_t count, int64_t at) override
            {
                return at + int64_t(count) <= FailFrom && Real->ReadAt(to, count, at);
            }
        };
        SetFiles(nullptr);
        auto real = Files().OpenRead(path, error);
        SetFiles(this);
        if (!real)
            return nullptr;
        auto file = std::make_unique<TFile>();
        file->Real = std::move(real);
        file->FailFrom = FailFrom;
        return file;
    }
    bool ReadWhole(const std::string&, std::vector<uint8_t>&) override { return false; }
    bool Missing(const std::string&) override { return false; }
    bool WriteAtomically(const std::string&, const std::vector<uint8_t>&, bool (*)(const std::string&)) override
    {
        return false;
    }
    int64_t FailFrom;
};

TEST_F(AssetPackTest, ReadErrorPartWayStopsTheLoadLikeAShortPack)
{
    Write(GoodPack());
    LoadAssetPack(&DD);
    TSurface* laterSheet = GameSheets[51];

    const std::vector<uint8_t> firstFifty = GoodPack(50);
    TFailingDisk disk(int64_t(firstFifty.size()) + 2); // inside entry 50's length field
    EXPECT_EQ(ErrorOf([&] { LoadAssetPack(&DD); }), "Stream read error");
    EXPECT_NE(GameSheets[49], nullptr);
    EXPECT_EQ(GameSheets[50], nullptr);
    EXPECT_EQ(GameSheets[51], laterSheet);
}

// Surfaces that cannot be made leave their slots empty; everything that draws
// sheets copes with that.
TEST_F(AssetPackTest, SlotsStayEmptyWhenSurfacesCannotBeMade)
{
    Write(GoodPack());
    DD.FailCreates = true;
    LoadAssetPack(&DD);
    for (TSurface* s : GameSheets)
        EXPECT_EQ(s, nullptr);
    for (TSurface* s : FlippedShotSheets)
        EXPECT_EQ(s, nullptr);
    ASSERT_NE(MainMenuButtons, nullptr);

    DD.FailCreates = false;
    TSurface* target = DD.CreateSurface(800, 600);
    MainMenuButtons->Draw(target);
    OptionsMenu->Selected = 3;
    OptionsMenu->Draw(target);
    NameEdit->Draw(target);
    for (int i = 0; i < 600 * 800; ++i)
        ASSERT_EQ(target->Pixels()[i], 0u) << "nothing to draw with";
    DD.Release(target);
}

// ---- The surface helpers on their own ----

TEST(SurfaceHelpers, MatchColorGivesThePixelValueAndRestoresPixelZero)
{
    TDirectDraw dd;
    TSurface* s = dd.CreateSurface(4, 4);
    s->SetPixel(0, 0, 0x00010203);
    EXPECT_EQ(MatchColor(s, Magenta), Magenta);
    EXPECT_EQ(MatchColor(s, Black), Black);
    EXPECT_EQ(MatchColor(s, InvalidColor), 0x00010203u) << "the invalid colour reads pixel (0, 0) as it is";
    EXPECT_EQ(s->GetPixel(0, 0), 0x00010203u);

    s->MarkLost(); // cannot be locked
    EXPECT_EQ(MatchColor(s, Magenta), InvalidColor);
    EXPECT_EQ(MatchColor(nullptr, Magenta), InvalidColor);
    dd.Release(s);
}

TEST(SurfaceHelpers, CopyBitmapStretchesTheRectangleOverTheSurface)
{
    TDirectDraw dd;
    TImage bmp{4, 2, {1, 2, 3, 4, 5, 6, 7, 8}};
    TSurface* same = dd.CreateSurface(4, 2);
    same->MarkLost();
    EXPECT_EQ(CopyBitmapToSurface(same, bmp, 0, 0, 0, 0), DD_OK);
    EXPECT_EQ(std::vector<uint32_t>(same->Pixels(), same->Pixels() + 8), bmp.Pixels) << "restored and copied";

    TSurface* doubled = dd.CreateSurface(4, 2);
    CopyBitmapToSurface(doubled, bmp, 2, 0, 2, 1); // (2, 0) 2 x 1 -> 4 x 2
    EXPECT_EQ(std::vector<uint32_t>(doubled->Pixels(), doubled->Pixels() + 8),
              (std::vector<uint32_t>{3, 3, 4, 4, 3, 3, 4, 4}));
    dd.Release(same);
    dd.Release(doubled);
}

TEST(SurfaceHelpers, MirrorRowsTurnsUpsideDownAndCopesWithUnequalSizes)
{
    TDirectDraw dd;
    TSurface* src = dd.CreateSurface(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            src->SetPixel(x, y, uint32_t(10 * y + x));
    TSurface* dst = dd.CreateSurface(3, 3);
    MirrorRows(src, dst, nullptr, nullptr);
    EXPECT_EQ(std::vector<uint32_t>(dst->Pixels(), dst->Pixels() + 9),
              (std::vector<uint32_t>{20, 21, 22, 10, 11, 12, 0, 1, 2}));
    EXPECT_FALSE(src->Locked());
    EXPECT_FALSE(dst->Locked());

    // A larger destination: the shared part is turned, the rest left alone.
    TSurface* big = dd.CreateSurface(4, 4);
    big->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, 99);
    MirrorRows(src, big, nullptr, nullptr);
    EXPECT_EQ(big->GetPixel(0, 0), 20u);
    EXPECT_EQ(big->GetPixel(2, 2), 2u);
    EXPECT_EQ(big->GetPixel(3, 0), 99u);
    EXPECT_EQ(big->GetPixel(0, 3), 99u);

    // A lost source leaves the destination as it was, unlocked.
    src->MarkLost();
    dst->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, 7);
    MirrorRows(src, dst, nullptr, nullptr);
    EXPECT_EQ(dst->GetPixel(0, 0), 7u);
    EXPECT_FALSE(dst->Locked());
    MirrorRows(nullptr, dst, nullptr, nullptr);
    dd.Release(src);
    dd.Release(dst);
    dd.Release(big);
}

// The pack the art generator writes at build time loads whole.
TEST_F(AssetPackTest, GeneratedPackLoads)
{
    const fs::path built = fs::path(ZEPHYRION_BINARY_DIR) / "Data" / "Data.pp";
    if (!fs::exists(built))
        GTEST_SKIP() << "no generated pack at " << built;
    AssetPackPath = built.string();
    ASSERT_NO_THROW(LoadAssetPack(&DD));
    ASSERT_NE(MenuSheets[SheetMenuBackground], nullptr);
    EXPECT_EQ(MenuSheets[SheetMenuBackground]->Width(), 800);
    EXPECT_EQ(MenuSheets[SheetMenuBackground]->Height(), 600);
    for (TSurface* s : GameSheets)
        EXPECT_NE(s, nullptr);
    for (TSurface* s : MenuSheets)
        EXPECT_NE(s, nullptr);
}

} // namespace
