#pragma once
// Pictures for mini-HTML texts: THTMLPicture keeps the raw bytes of an image
// file and lets the platform's OLE picture loader decode them (bitmaps,
// icons, metafiles, JPEG, GIF; one chosen frame of an animated GIF); the
// grid's THTMLPictureCache holds pictures found by their address, and a
// TPictureContainer on a form holds named pictures.

#include <functional>
#include <memory>
#include <vector>

#include "framework/Component.h"
#include "framework/Graphic.h"
#include "framework/Stream.h"
#include "framework/Thread.h"

struct IPicture;

class THTMLPicture;

using TDownloadErrorEvent = std::function<void(TObject* Sender, const String& err)>;
using TDownloadCompleteEvent = std::function<void(TObject* Sender)>;
using TDownloadCancelEvent = std::function<void(TObject* Sender, bool& Cancel)>;
using TDownloadProgressEvent = std::function<void(TObject* Sender, Cardinal dwSize, Cardinal dwTotSize)>;

// Started for a picture named by a network address while the picture's
// asynchronous flag is on. Its work does nothing: nothing is ever fetched,
// so such a picture stays empty. It frees itself when it ends.
// The picture that started it owns it and frees it (the work has ended by
// then, since it does nothing).
class TDownLoadThread : public TThread {
public:
    explicit TDownLoadThread(THTMLPicture* APicture) : TThread(false), FPicture(APicture) {}

protected:
    void Execute() override {}

private:
    THTMLPicture* FPicture;
};

class THTMLPicture : public TGraphic {
public:
    THTMLPicture();
    ~THTMLPicture() override;

    void Assign(const TPersistent* Source) override;
    // Renders the decoded picture: stretched into Rect, or at its natural
    // size (at the canvas's pixels per inch) at Rect's top-left. Nothing
    // when empty or undecoded; never raises.
    void Draw(TCanvas* Canvas, const TRect& Rect) override;
    bool Empty() const override { return FIsEmpty; }
    // The picture's size at 96 pixels per inch; 0 without a picture.
    int Width() const override;
    int Height() const override;
    void SetWidth(int) override {}
    void SetHeight(int) override {}

    // Copies the file's bytes in and decodes them; any failure leaves the
    // picture empty.
    void LoadFromFile(const String& FileName) override;
    // Copies the stream (from its position to its end) in, decodes and
    // fires OnChange; a decoding failure raises.
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    void ReadData(TStream* Stream) override;
    void WriteData(TStream* Stream) override;
    void LoadFromClipboardFormat(Word, HANDLE, HANDLE) {}
    void SaveToClipboardFormat(Word&, HANDLE&, HANDLE&) {}

    // "RES://name" loads the RCDATA resource of the program's module,
    // "FILE://path" the file; any other address leaves the picture empty.
    void LoadFromAddress(const String& Address);
    void LoadFromResourceName(HINSTANCE Instance, const String& ResName);

    // The number of frames of GIF data (a graphic control block right before
    // an image descriptor), -1 for data that is not GIF. Counted once.
    int FrameCount();
    bool IsGIF() const;
    // The box of an animated picture: the GIF's logical screen size when
    // set, else the picture's size.
    int AnimWidth() const;
    int AnimHeight() const;

    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value) { FStretch = Value; }
    int Frame() const { return FFrame; }
    // Stores the 1-based frame; with data, decodes that frame and fires
    // OnFrameChange.
    void SetFrame(int Value);
    const String& Address() const { return FAddress; }
    void SetAddress(const String& Value) { FAddress = Value; }
    const String& ID() const { return FID; }
    bool Asynch() const { return FAsynch; }
    void SetAsynch(bool Value) { FAsynch = Value; }
    bool IsDownloading() const { return FIsDownloading; }
    // The current frame's offset inside the GIF's logical screen.
    int FrameXPos() const { return FFrameXPos; }
    int FrameYPos() const { return FFrameYPos; }
    // The raw bytes of the image file.
    TMemoryStream* Data() const { return FDataStream.get(); }
    // Whether the bytes decoded into a picture.
    bool Decoded() const { return FPicture != nullptr; }

    TNotifyEvent OnFrameChange;
    TDownloadErrorEvent OnDownLoadError;
    TDownloadCompleteEvent OnDownLoadComplete;
    TDownloadCancelEvent OnDownLoadCancel;
    TDownloadProgressEvent OnDownLoadProgress;

private:
    // Decodes the data (the current frame of a GIF) into FPicture; raises
    // the base exception with the loader's failure.
    void DecodeData();
    void ReleasePicture();
    // The HIMETRIC size of the decoded picture, 0 without one.
    void HimetricSize(long& W, long& H) const;

    std::unique_ptr<TMemoryStream> FDataStream;
    bool FIsEmpty = true;
    IPicture* FPicture = nullptr;
    int FLogPixX = 96;
    int FLogPixY = 96;
    bool FIsDownloading = false;
    bool FAsynch = true;
    int FFrameCount = -1;
    int FFrameFirst = -1;   // kept for the stored layout; not used
    int FFrameLast = -1;    // kept for the stored layout; not used
    int FFrame = 1;
    bool FStretch = false;
    String FAddress;
    String FID;
    Word FFrameXPos = 0;
    Word FFrameYPos = 0;
    Word FFrameXSize = 0;
    Word FFrameYSize = 0;
    Word FLogWidth = 0;
    Word FLogHeight = 0;
    std::unique_ptr<TDownLoadThread> FDownload;
};

// The grid's own pictures, found by the address they were loaded from.
class THTMLPictureCache : public TObject {
public:
    THTMLPictureCache() = default;
    ~THTMLPictureCache() override;
    // Takes the picture over.
    THTMLPicture* AddPicture(std::unique_ptr<THTMLPicture> Picture);
    // The first picture whose address equals Address exactly, or nullptr.
    THTMLPicture* FindPicture(const String& Address) const;
    void ClearPictures();
    int Count() const { return static_cast<int>(FItems.size()); }
    THTMLPicture* Items(int Index) const { return FItems.at(static_cast<std::size_t>(Index)).get(); }

private:
    std::vector<std::unique_ptr<THTMLPicture>> FItems;
};

class TPictureCollection;

// One named picture of a container.
class TPictureItem : public TPersistent {
public:
    explicit TPictureItem(TPictureCollection* Collection);
    ~TPictureItem() override;
    // Copies Name, Tag and the picture of another item.
    void Assign(const TPersistent* Source) override;

    THTMLPicture* Picture() const { return FPicture.get(); }
    // Copies the given picture in.
    void SetPicture(const THTMLPicture* Value) { FPicture->Assign(Value); }
    const String& Name() const { return FName; }
    void SetName(const String& Value) { FName = Value; }
    int Tag = 0;
    TPictureCollection* Collection() const { return FCollection; }
    int Index() const;

private:
    TPictureCollection* FCollection;
    std::unique_ptr<THTMLPicture> FPicture;
    String FName;
};

// The items of a container, in order, owned.
class TPictureCollection : public TPersistent {
public:
    explicit TPictureCollection(TComponent* AOwner) : FOwner(AOwner) {}
    ~TPictureCollection() override;
    void Assign(const TPersistent* Source) override;
    TPictureItem* Add();
    void Delete(int Index);
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    TPictureItem* Items(int Index) const { return FItems.at(static_cast<std::size_t>(Index)).get(); }
    TComponent* GetOwner() const { return FOwner; }

private:
    TComponent* FOwner;
    std::vector<std::unique_ptr<TPictureItem>> FItems;
};

// Named pictures stored with a form; grids link to it through their
// PictureContainer property.
class TPictureContainer : public TComponent {
public:
    explicit TPictureContainer(TComponent* AOwner);
    ~TPictureContainer() override;
    TPictureCollection* Items() const { return FItems.get(); }
    void SetItems(const TPictureCollection* Value) { FItems->Assign(Value); }
    String Version() const { return "1.0.0.0"; }
    void SetVersion(const String&) {}
    // The picture of the first item whose name matches Name, ignoring
    // case; nullptr when none.
    virtual THTMLPicture* FindPicture(const String& Name) const;

private:
    std::unique_ptr<TPictureCollection> FItems;
};
