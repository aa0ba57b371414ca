// A randomized model test: random inserts, removals, hides, unhides, merges
// and writes applied to a grid and to a plain model of rows; after every
// step the shown texts, the hidden rows and the live cell objects must agree.

#include <random>

#include <gtest/gtest.h>

#include "grid/core/ProGrid.h"

namespace {

struct ModelRow {
    String Text;
    bool Hidden = false;
};

class RandomModel {
public:
    RandomModel() : G(std::make_unique<TProStringGrid>(nullptr))
    {
        G->SetColCount(Cols);
        G->SetRowCount(40);
        G->SetFixedCols(0);
        G->SetFixedRows(0);
        for (int R = 0; R < 40; ++R) {
            Rows.push_back(ModelRow{NewText()});
            G->SetCells(0, R, Rows.back().Text);
            G->EnsureCellProperties(1, R)->CellObject = G.get();
        }
    }

    static constexpr int Cols = 4;

    String NewText() { return "t" + std::to_string(Next++); }

    std::vector<int> ShownReal() const
    {
        std::vector<int> V;
        for (int I = 0; I < static_cast<int>(Rows.size()); ++I)
            if (!Rows[static_cast<std::size_t>(I)].Hidden)
                V.push_back(I);
        return V;
    }

    // Cell objects the grid holds: in its cells and in its hidden rows.
    long HeldObjects() const
    {
        long N = 0;
        for (int R = 0; R < G->RowCount(); ++R)
            for (int C = 0; C < Cols; ++C)
                N += G->GetCellObjectRaw(C, R) != nullptr;
        for (const auto& Item : G->HiddenRows())
            for (int C = 0; C < Item->Items.Count(); ++C)
                N += Item->Items.Objects(C) != nullptr;
        return N;
    }

    // Compares the grid with the model; returns a description of the first difference.
    String Check(long Baseline) const
    {
        const std::vector<int> Shown = ShownReal();
        if (G->RowCount() != static_cast<int>(std::max<std::size_t>(Shown.size(), 1)))
            return "row count " + std::to_string(G->RowCount()) + " vs " + std::to_string(Shown.size());
        for (std::size_t D = 0; D < Shown.size(); ++D) {
            if (G->Cells(0, static_cast<int>(D)) != Rows[static_cast<std::size_t>(Shown[D])].Text)
                return "display row " + std::to_string(D) + ": " + G->Cells(0, static_cast<int>(D)) + " vs "
                    + Rows[static_cast<std::size_t>(Shown[D])].Text;
            if (G->DisplayToRealRow(static_cast<int>(D)) != Shown[D])
                return "real index of display row " + std::to_string(D);
        }
        std::size_t H = 0;
        for (int I = 0; I < static_cast<int>(Rows.size()); ++I) {
            if (!Rows[static_cast<std::size_t>(I)].Hidden)
                continue;
            if (H >= G->HiddenRows().size())
                return "hidden row " + std::to_string(I) + " missing";
            const TGridItem& Item = *G->HiddenRows()[H++];
            if (Item.Idx != I || Item.Items.Strings(0) != Rows[static_cast<std::size_t>(I)].Text)
                return "hidden row " + std::to_string(I) + " stored as " + std::to_string(Item.Idx) + " " + Item.Items.Strings(0);
        }
        if (H != G->HiddenRows().size())
            return "extra hidden rows";
        if (TCellProperties::LiveCount() - Baseline != HeldObjects())
            return "live cell objects " + std::to_string(TCellProperties::LiveCount() - Baseline) + " vs held "
                + std::to_string(HeldObjects());
        return "";
    }

    std::unique_ptr<TProStringGrid> G;
    std::vector<ModelRow> Rows;
    int Next = 0;
};

TEST(GridRandomModel, RandomRowOperationsAgreeWithThePlainModel)
{
    const long Baseline = TCellProperties::LiveCount();
    {
        std::mt19937 Rng(20261210);
        RandomModel M;
        int Applied = 0;
        auto Pick = [&](int N) { return N <= 0 ? 0 : static_cast<int>(Rng() % static_cast<unsigned>(N)); };
        for (int Step = 0; Step < 4000; ++Step) {
            const int Op = Pick(10);
            const std::vector<int> Shown = M.ShownReal();
            const int Display = static_cast<int>(Shown.size());
            const int Total = static_cast<int>(M.Rows.size());
            String What;
            if (Op == 0 && Total < 200) {
                const int D = Pick(Display + 1);
                const int K = 1 + Pick(3);
                const int At = D < Display ? Shown[static_cast<std::size_t>(D)] : Total;
                What = "insert " + std::to_string(K) + " at " + std::to_string(D);
                M.G->InsertRows(D, K);
                for (int I = 0; I < K; ++I) {
                    const String T = M.NewText();
                    M.Rows.insert(M.Rows.begin() + At + I, ModelRow{T});
                    M.G->WriteCellText(0, D + I, T);
                }
            } else if (Op <= 2 && Display > 3) {
                const int D = Pick(Display);
                const int K = 1 + Pick(std::min(3, Display - D));
                const int Kind = Pick(3);
                What = "remove " + std::to_string(K) + " at " + std::to_string(D) + " kind " + std::to_string(Kind);
                if (Kind == 0)
                    M.G->RemoveRows(D, K);
                else if (Kind == 1)
                    M.G->DeleteRowsPlain(D, K);
                else
                    M.G->RemoveRowsFull(D, K);
                for (int I = K - 1; I >= 0; --I)
                    M.Rows.erase(M.Rows.begin() + Shown[static_cast<std::size_t>(D + I)]);
            } else if (Op == 3 && Display > 3) {
                const int F = Pick(Total);
                const int L = std::min(Total - 1, F + Pick(4));
                int Left = 0;
                for (int I = 0; I < Total; ++I)
                    Left += !M.Rows[static_cast<std::size_t>(I)].Hidden && (I < F || I > L);
                if (Left == 0)
                    continue;
                What = "hide " + std::to_string(F) + ".." + std::to_string(L);
                M.G->HideRows(F, L);
                for (int I = F; I <= L; ++I)
                    M.Rows[static_cast<std::size_t>(I)].Hidden = true;
            } else if (Op == 4) {
                const int F = Pick(Total);
                const int L = std::min(Total - 1, F + Pick(6));
                What = "unhide " + std::to_string(F) + ".." + std::to_string(L);
                const bool FirstHidden = M.Rows[static_cast<std::size_t>(F)].Hidden;
                M.G->UnHideRows(F, L);
                if (FirstHidden)
                    for (int I = F; I <= L; ++I)
                        M.Rows[static_cast<std::size_t>(I)].Hidden = false;
            } else if (Op == 5 && Pick(4) == 0) {
                What = "unhide all";
                M.G->UnHideRowsAll();
                for (auto& R : M.Rows)
                    R.Hidden = false;
            } else if (Op == 6 && Display > 6) {
                std::vector<int> List;
                for (int I = 0; I < 3; ++I)
                    List.push_back(Pick(Total));
                int Left = 0;
                for (int I = 0; I < Total; ++I)
                    Left += !M.Rows[static_cast<std::size_t>(I)].Hidden
                        && std::find(List.begin(), List.end(), I) == List.end();
                if (Left == 0)
                    continue;
                What = "hide list";
                M.G->HideRowList(List);
                for (int R : List)
                    M.Rows[static_cast<std::size_t>(R)].Hidden = true;
            } else if (Op == 7 && Display > 2) {
                const int D = Pick(Display - 1);
                const int N = 1 + Pick(std::min(3, Display - D));
                What = "merge at " + std::to_string(D);
                M.G->MergeCells(1 + Pick(2), D, 1 + Pick(2), N);
            } else if (Op == 8 && Display > 0) {
                const int D = Pick(Display);
                const String T = M.NewText();
                What = "write " + std::to_string(D);
                M.G->WriteCellText(0, D, T);
                M.Rows[static_cast<std::size_t>(Shown[static_cast<std::size_t>(D)])].Text = T;
            } else if (Op == 9 && Display > 0) {
                const int D = Pick(Display);
                What = "clear cells of " + std::to_string(D);
                M.G->ClearRect(1, D, RandomModel::Cols - 1, D);
            } else {
                continue;
            }
            const String Diff = M.Check(Baseline);
            ASSERT_EQ(Diff, "") << "step " << Step << ": " << What;
            ++Applied;
        }
        EXPECT_GT(Applied, 2000) << "too few operations applied";
        EXPECT_GT(M.G->HiddenRowCount() + M.G->RowCount(), 0);
    }
    EXPECT_EQ(TCellProperties::LiveCount(), Baseline) << "cell objects left after the grid went";
}

} // namespace
