// Office hint information: construction, notes and picture setters, and
// Assign from other hint information and from foreign sources.

#include <gtest/gtest.h>

#include "framework/Bitmap.h"
#include "visuals/ProHintInfo.h"

namespace {

String BitmapBytes(int W, int H, TColor Color)
{
    TBitmap B(W, H, TPixelFormat::pf24bit);
    B.Canvas()->Brush()->SetColor(Color);
    B.Canvas()->FillRect(Rect(0, 0, W, H));
    return B.SaveToBytes();
}

String PictureBytes(TGdiPlusPicture* P)
{
    return String(static_cast<const char*>(P->DataStream()->Memory()), static_cast<std::size_t>(P->DataStream()->Size()));
}

} // namespace

TEST(ProHintInfo, StartsEmpty)
{
    TProHintInfo Info;
    EXPECT_EQ(Info.Title(), "");
    EXPECT_EQ(Info.Notes()->Count(), 0);
    EXPECT_TRUE(Info.Picture()->Empty());
    EXPECT_FALSE(Info.ShowHelp());
    EXPECT_TRUE(Info.WideTitle().empty());
    EXPECT_TRUE(Info.WideNotes().empty());
}

TEST(ProHintInfo, NotesSetterCopiesLines)
{
    TProHintInfo Info;
    TStringList Lines;
    Lines.Add("first");
    Lines.Add("第二行");
    Info.SetNotes(&Lines);
    Lines.Add("later");
    Lines.Put(0, "changed");
    ASSERT_EQ(Info.Notes()->Count(), 2);
    EXPECT_EQ(Info.Notes()->Strings(0), "first");
    EXPECT_EQ(Info.Notes()->Strings(1), "第二行");
}

TEST(ProHintInfo, AssignCopiesEverythingAndPictureBytes)
{
    TProHintInfo Source;
    Source.SetTitle("Title");
    Source.Notes()->SetText("a\r\nb\r\n");
    Source.SetShowHelp(true);
    Source.SetWideTitle(L"wide title");
    Source.SetWideNotes(L"wide notes");
    TBitmap Bitmap(7, 5, TPixelFormat::pf24bit);
    Source.Picture()->Assign(&Bitmap);
    ASSERT_FALSE(Source.Picture()->Empty());

    TProHintInfo Dest;
    Dest.Assign(&Source);
    EXPECT_EQ(Dest.Title(), "Title");
    ASSERT_EQ(Dest.Notes()->Count(), 2);
    EXPECT_EQ(Dest.Notes()->Strings(1), "b");
    EXPECT_TRUE(Dest.ShowHelp());
    EXPECT_EQ(Dest.WideTitle(), L"wide title");
    EXPECT_EQ(Dest.WideNotes(), L"wide notes");
    EXPECT_FALSE(Dest.Picture()->Empty());
    EXPECT_EQ(Dest.Picture()->Width(), 7);
    EXPECT_EQ(Dest.Picture()->Height(), 5);
    EXPECT_EQ(PictureBytes(Dest.Picture()), PictureBytes(Source.Picture()));
    EXPECT_NE(Dest.Picture()->DataStream()->Memory(), Source.Picture()->DataStream()->Memory());

    // A copy, not a reference: emptying the source leaves the copy whole.
    Source.Picture()->Assign(nullptr);
    Source.Notes()->Clear();
    EXPECT_FALSE(Dest.Picture()->Empty());
    EXPECT_EQ(Dest.Notes()->Count(), 2);
}

TEST(ProHintInfo, ForeignSourcesChangeNothing)
{
    TProHintInfo Info;
    Info.SetTitle("kept");
    Info.Notes()->Add("line");
    TStringList Lines;
    Lines.Add("other");
    TGdiPlusPicture Picture;
    const TPersistent* Sources[] = {&Lines, &Picture, nullptr};
    for (const TPersistent* Source : Sources) {
        SCOPED_TRACE(Source ? Source->ClassName() : String("nullptr"));
        EXPECT_NO_THROW(Info.Assign(Source));
        EXPECT_EQ(Info.Title(), "kept");
        ASSERT_EQ(Info.Notes()->Count(), 1);
        EXPECT_EQ(Info.Notes()->Strings(0), "line");
    }
}

TEST(ProHintInfo, PictureSetterCopiesBytes)
{
    TProHintInfo Info;
    TGdiPlusPicture Picture;
    TMemoryStream Stream;
    const String Bytes = BitmapBytes(3, 4, clRed);
    Stream.WriteBuffer(Bytes.data(), static_cast<Integer>(Bytes.size()));
    Stream.SetPosition(0);
    Picture.LoadFromStream(&Stream);
    Info.SetPicture(&Picture);
    EXPECT_EQ(PictureBytes(Info.Picture()), Bytes);
    EXPECT_EQ(Info.Picture()->Width(), 3);
    EXPECT_EQ(Info.Picture()->Height(), 4);
    Info.SetPicture(nullptr);
    EXPECT_TRUE(Info.Picture()->Empty());
}
