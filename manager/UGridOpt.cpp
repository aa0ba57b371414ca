// The slot clipboard (copy, cut, paste and delete of whole slots, record and
// name together, inside Vantrel) and the undo snapshots of the channels.
#include "manager/UGridOpt.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>

#include "framework/Codepage.h"
#include "framework/Stream.h"
#include "manager/URedEdit.h"

namespace vantrel {

// ---- undo history ---------------------------------------------------------------

const TUndoHistory::TChannelRing& TUndoHistory::At(int Channel) const
{
    return FRings.at(static_cast<std::size_t>(Channel));
}

TUndoHistory::TChannelRing& TUndoHistory::At(int Channel) { return FRings.at(static_cast<std::size_t>(Channel)); }

int TUndoHistory::NextSnapshotIndex(int Channel) const { return (At(Channel).Current + 1) % UndoRingSize; }

void TUndoHistory::SnapshotTaken(int Channel)
{
    TChannelRing& ring = At(Channel);
    ring.Current = (ring.Current + 1) % UndoRingSize;
    // The states after the current one are gone; the oldest falls out of
    // the ring once ten are kept.
    ring.Back = ring.Started ? std::min(ring.Back + 1, UndoRingSize - 1) : 0;
    ring.Forward = 0;
    ring.Started = true;
}

int TUndoHistory::UndoIndex(int Channel) const
{
    const TChannelRing& ring = At(Channel);
    return ring.Back > 0 ? (ring.Current + UndoRingSize - 1) % UndoRingSize : -1;
}

int TUndoHistory::RedoIndex(int Channel) const
{
    const TChannelRing& ring = At(Channel);
    return ring.Forward > 0 ? (ring.Current + 1) % UndoRingSize : -1;
}

void TUndoHistory::SteppedBack(int Channel)
{
    TChannelRing& ring = At(Channel);
    ring.Current = (ring.Current + UndoRingSize - 1) % UndoRingSize;
    --ring.Back;
    ++ring.Forward;
}

void TUndoHistory::SteppedForward(int Channel)
{
    TChannelRing& ring = At(Channel);
    ring.Current = (ring.Current + 1) % UndoRingSize;
    ++ring.Back;
    --ring.Forward;
}

// ---- slot names -----------------------------------------------------------------

void TFmMain::SetSlotName(int Channel, int Slot, const String& Name)
{
    ChannelGrid(Channel)->WriteCellText((Slot / 20) * 2 + 1, Slot % 20, FitSlotName(Name));
}

// ---- slot clipboard -------------------------------------------------------------

namespace {

bool HasSelection(const TGridRect& R) { return R.Left >= 0 && R.Top >= 0 && R.Right >= 0 && R.Bottom >= 0; }

} // namespace

void TFmMain::CopySlots()
{
    FClipWidth = -1;
    FClipHeight = -1;
    FClipCodes->Clear();
    FClipNames->Clear();
    const int channel = RedMems->ActivePageIndex();
    const TGridRect r = ChannelGrid(channel)->SelectionRect();
    if (!HasSelection(r))
        return;
    FClipWidth = r.Right / 2 - r.Left / 2 + 1;
    FClipHeight = r.Bottom - r.Top + 1;
    for (int k = r.Left / 2; k <= r.Right / 2; ++k)
        for (int row = r.Top; row <= r.Bottom; ++row) {
            const int slot = k * 20 + row;
            const bool inside = slot >= 0 && slot < SlotCount && row < 20;
            FClipCodes->Add(inside ? Code(channel, slot) : String());
            FClipNames->Add(inside ? SlotName(channel, slot) : String());
        }
    if (FClipCodes->Count() != FClipWidth * FClipHeight)
        ShowStatus("拷贝出错！");
}

void TFmMain::PasteSlots()
{
    if (FClipCodes->Count() != FClipWidth * FClipHeight || FClipWidth > 5) {
        ShowStatus("拷贝无数据！");
        return;
    }
    const int channel = RedMems->ActivePageIndex();
    TProStringGrid* grid = ChannelGrid(channel);
    const TGridRect r = grid->SelectionRect();
    if (FClipWidth <= 0 || FClipHeight <= 0 || !HasSelection(r))
        return;
    const int k0 = r.Left / 2;
    const int r0 = r.Top;
    int item = 0;
    for (int k = k0; k < k0 + FClipWidth; ++k)
        for (int row = r0; row < r0 + FClipHeight; ++row) {
            // Items that fall outside the table are dropped.
            if (row < 20 && k < 5) {
                const int slot = k * 20 + row;
                SetCode(channel, slot, FClipCodes->Strings(item));
                SetSlotName(channel, slot, FClipNames->Strings(item));
                ShowSlotState(grid, slot, !Code(channel, slot).empty());
            }
            ++item;
        }
    grid->SelectCellRange(2 * k0, 2 * std::min(k0 + FClipWidth, 5) - 1, r.Top, std::min(r0 + FClipHeight, 20) - 1);
}

void TFmMain::DeleteSlots()
{
    const int channel = RedMems->ActivePageIndex();
    TProStringGrid* grid = ChannelGrid(channel);
    const TGridRect r = grid->SelectionRect();
    if (!HasSelection(r))
        return;
    for (int k = r.Left / 2; k <= r.Right / 2 && k < 5; ++k)
        for (int row = r.Top; row <= r.Bottom && row < 20; ++row) {
            const int slot = k * 20 + row;
            SetCode(channel, slot, String());
            SetSlotName(channel, slot, String());
            ShowSlotState(grid, slot, false);
        }
}

void TFmMain::nbCopyClick(TObject*) { CopySlots(); }

void TFmMain::NCutClick(TObject*)
{
    CopySlots();
    DeleteSlots();
    TakeSnapshot(RedMems->ActivePageIndex());
}

void TFmMain::nbPasteClick(TObject*)
{
    PasteSlots();
    TakeSnapshot(RedMems->ActivePageIndex());
}

void TFmMain::nbDeleteClick(TObject*)
{
    DeleteSlots();
    TakeSnapshot(RedMems->ActivePageIndex());
}

// ---- undo snapshots -------------------------------------------------------------

String TFmMain::SnapshotPath(int Channel, int Index) const
{
    return FRunFolder.Path() + SnapshotFileName(Channel, Index);
}

void TFmMain::TakeSnapshot(int Channel)
{
    if (Channel < 0 || Channel >= ChannelCount)
        return;
    // A run without a folder for snapshots (none could be made) has no undo;
    // the status bar said so at start. A folder deleted meanwhile is made again.
    if (!FRunFolder.Ensure())
        return;
    SaveSnapshot(SnapshotPath(Channel, FUndo.NextSnapshotIndex(Channel)), Channel);
    FUndo.SnapshotTaken(Channel);
}

void TFmMain::SaveSnapshot(const String& FileName, int Channel)
{
    // A code that does not begin with its own length could not be read back
    // (the reader takes that length as its size): refused, as a project save
    // refuses it, before any file is touched.
    const TChannelImage image = ChannelImage(Channel);
    const String slots = UnstorableSlots(image.Codes);
    if (!slots.empty())
        throw EWriteError("The undo step is not saved: the code of slot " + slots +
                          " does not begin with its own length of 2 to 2048 bytes, so it could not be restored.");
    // Written whole under another name first: a snapshot that cannot be
    // written leaves the one it would replace intact.
    const String bytes = EncodeSnapshot(image);
    const String temporary = FileName + ".tmp";
    try {
        TFileStream file(temporary, fmCreate);
        file.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
    } catch (...) {
        DeleteFileW(StrToWide(temporary).c_str());
        throw;
    }
    if (!MoveFileExW(StrToWide(temporary).c_str(), StrToWide(FileName).c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(StrToWide(temporary).c_str());
        throw EFCreateError("Cannot write the undo file \"" + FileName + "\"");
    }
}

bool TFmMain::LoadSnapshot(const String& FileName, int Channel)
{
    if (Channel < 0 || Channel >= ChannelCount)
        return false;
    String bytes;
    {
        TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
        bytes.resize(static_cast<std::size_t>(file.Size()));
        if (!bytes.empty())
            file.ReadBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
    }
    TChannelImage image;
    String error;
    if (!DecodeSnapshot(bytes, image, error))
        throw EReadError("The undo file \"" + FileName + "\" is damaged: " + error);
    ShowChannelImage(Channel, image);
    return true;
}

bool TFmMain::SnapshotExists(int Channel, int Index) const
{
    if (Index < 0 || !DirectoryExists(FRunFolder.Path()))
        return false;
    const DWORD attributes = GetFileAttributesW(StrToWide(SnapshotPath(Channel, Index)).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void TFmMain::UndoChannel(int Channel)
{
    if (Channel < 0 || Channel >= ChannelCount)
        return;
    const int previous = FUndo.UndoIndex(Channel);
    if (!SnapshotExists(Channel, previous))
        return;
    LoadSnapshot(SnapshotPath(Channel, previous), Channel);
    FUndo.SteppedBack(Channel);
}

void TFmMain::RedoChannel(int Channel)
{
    if (Channel < 0 || Channel >= ChannelCount)
        return;
    const int next = FUndo.RedoIndex(Channel);
    if (!SnapshotExists(Channel, next))
        return;
    LoadSnapshot(SnapshotPath(Channel, next), Channel);
    FUndo.SteppedForward(Channel);
}

void TFmMain::TbUnDoClick(TObject*) { UndoChannel(RedMems->ActivePageIndex()); }

void TFmMain::TbReDoClick(TObject*) { RedoChannel(RedMems->ActivePageIndex()); }

} // namespace vantrel
