#pragma once
// Multi-line edit boxes whose text is seen as Lines. Lines reads and writes
// the window's text, so that what the user typed is always what Lines
// holds; adding a line appends it at the end and scrolls there.

#include "framework/Edit.h"
#include "framework/StringList.h"

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TCustomMemo;

class TMemoLines : public TStrings {
public:
    explicit TMemoLines(TCustomMemo* Memo) : FMemo(Memo) {}

    int Count() const override;
    String Strings(int Index) const override;
    void Put(int Index, const String& S) override;
    int Add(const String& S) override;
    void Insert(int Index, const String& S) override;
    void Delete(int Index) override;
    void Clear() override;

private:
    std::vector<String> Split() const;
    void Join(const std::vector<String>& Lines);

    TCustomMemo* FMemo;
};

class TCustomMemo : public TCustomEdit {
public:
    explicit TCustomMemo(TComponent* AOwner);

    TStrings* Lines() const { return FLines.get(); }
    void SetLines(const TStrings* Value) { FLines->Assign(Value); }

    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // Enter starts a new line (rather than pressing the Default button);
    // Tab types a tab (rather than moving the focus).
    bool WantReturns = true;
    bool WantTabs = false;

    // Moves the caret to the end of the text and scrolls it into view.
    void ScrollToEnd();

protected:
    void CreateParams(TCreateParams& Params) override;
    bool WantsSpecialKey(Word Key) override;

private:
    std::unique_ptr<TMemoLines> FLines;
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;

    friend class TMemoLines;
};

class TMemo : public TCustomMemo {
public:
    using TCustomMemo::TCustomMemo;
};
