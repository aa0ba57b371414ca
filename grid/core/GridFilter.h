#pragma once
// The string grid's filter: a list of conditions, each testing one column's
// text, joined one after the other into the answer whether a row is shown.

#include <functional>
#include <memory>
#include <vector>

#include "framework/Object.h"
#include "framework/Types.h"

class TProStringGrid;

// Which text of a cell a condition tests.
enum TFilterCells { fcVirtual, fcNormal, fcStripHTML, fcCalculated };
// How a condition's result joins the result so far.
enum TFilterOperation { foSHORT, foNONE, foAND, foXOR, foOR };

using TCustomFilterEvent = std::function<void(TObject* Sender, int ARow, bool& AcceptRow)>;
using TGridProgressEvent = std::function<void(TObject* Sender, short Progress)>;

class TFilter;

class TFilterData : public TPersistent {
public:
    explicit TFilterData(TFilter* ACollection = nullptr) : FCollection(ACollection) {}
    // Copies every condition setting from another TFilterData; other sources
    // are ignored.
    void Assign(const TPersistent* Source) override;
    TFilter* Collection() const { return FCollection; }

    short Column = 0;
    String Condition;
    bool CaseSensitive = true;
    TFilterCells Data = fcVirtual;
    String Prefix;
    String Suffix;
    TFilterOperation Operation = foSHORT;

private:
    TFilter* FCollection;
};

// The conditions in order. The list owns its items.
class TFilter : public TPersistent {
public:
    explicit TFilter(TProStringGrid* AGrid) : FGrid(AGrid) {}
    void Assign(const TPersistent* Source) override;
    // The grid answers as the owner when the list is streamed.
    TProStringGrid* Owner() const { return FGrid; }

    TFilterData* Add();
    void Delete(int Index);
    void Clear() { FItems.clear(); }
    int Count() const { return static_cast<int>(FItems.size()); }
    TFilterData* Items(int Index) const { return FItems.at(static_cast<std::size_t>(Index)).get(); }

private:
    TProStringGrid* FGrid;
    std::vector<std::unique_ptr<TFilterData>> FItems;
};
