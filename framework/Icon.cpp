#include "framework/Icon.h"

#include "framework/Stream.h"

namespace {

unsigned Word16(const String& B, std::size_t At)
{
    return static_cast<unsigned char>(B[At]) | (static_cast<unsigned>(static_cast<unsigned char>(B[At + 1])) << 8);
}

std::uint32_t Word32(const String& B, std::size_t At) { return Word16(B, At) | (static_cast<std::uint32_t>(Word16(B, At + 2)) << 16); }

// An ICO file: a 6-byte header (0, type 1, image count), 16 bytes of
// directory per image, and every image's bytes inside the file.
bool IsIconFile(const String& B)
{
    if (B.size() < 6 || Word16(B, 0) != 0 || Word16(B, 2) != 1)
        return false;
    const std::size_t Count = Word16(B, 4);
    const std::size_t DirEnd = 6 + 16 * Count;
    if (Count == 0 || DirEnd > B.size())
        return false;
    for (std::size_t i = 0; i < Count; ++i) {
        const std::size_t Entry = 6 + 16 * i;
        const std::uint64_t Size = Word32(B, Entry + 8);
        const std::uint64_t Offset = Word32(B, Entry + 12);
        if (Size == 0 || Offset < DirEnd || Offset + Size > B.size())
            return false;
    }
    return true;
}

int EntrySize(const String& B, std::size_t At)
{
    if (B.empty())
        return 0;
    const int V = static_cast<unsigned char>(B[At]);
    return V == 0 ? 256 : V;
}

} // namespace

TIcon::~TIcon() { FreeHandle(); }

void TIcon::FreeHandle()
{
    if (FHandle)
        DestroyIcon(FHandle);
    FHandle = nullptr;
}

void TIcon::Assign(const TPersistent* Source)
{
    if (const auto* S = dynamic_cast<const TIcon*>(Source)) {
        FreeHandle();
        FBytes = S->FBytes;
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

int TIcon::Width() const { return EntrySize(FBytes, 6); }
int TIcon::Height() const { return EntrySize(FBytes, 7); }

void TIcon::SetWidth(int) { throw EInvalidGraphic("Cannot change the size of an icon"); }
void TIcon::SetHeight(int) { throw EInvalidGraphic("Cannot change the size of an icon"); }

void TIcon::LoadFromBytes(const String& Bytes)
{
    if (!IsIconFile(Bytes))
        throw EInvalidGraphic("Icon image is not valid");
    FreeHandle();
    FBytes = Bytes;
    Changed();
}

void TIcon::LoadFromStream(TStream* Stream)
{
    const Int64 Rest = Stream->Size() - Stream->Position();
    String Bytes(static_cast<std::size_t>(Rest > 0 ? Rest : 0), '\0');
    if (!Bytes.empty())
        Stream->ReadBuffer(Bytes.data(), static_cast<Integer>(Bytes.size()));
    LoadFromBytes(Bytes);
}

void TIcon::SaveToStream(TStream* Stream)
{
    if (!FBytes.empty())
        Stream->WriteBuffer(FBytes.data(), static_cast<Integer>(FBytes.size()));
}

void TIcon::Draw(TCanvas* Canvas, const TRect& Rect)
{
    if (FBytes.empty())
        return;
    if (!FHandle) {
        const std::uint32_t Size = Word32(FBytes, 6 + 8);
        const std::uint32_t Offset = Word32(FBytes, 6 + 12);
        auto* Image = reinterpret_cast<PBYTE>(FBytes.data() + Offset);
        FHandle = CreateIconFromResourceEx(Image, Size, TRUE, 0x00030000, Width(), Height(), LR_DEFAULTCOLOR);
        if (!FHandle)
            return;
    }
    DrawIconEx(Canvas->Handle(), Rect.left, Rect.top, FHandle, Rect.right - Rect.left, Rect.bottom - Rect.top, 0,
               nullptr, DI_NORMAL);
}
