// The grid's loaders at scale and under hostile shapes: time and peak
// memory of a 16 MB text stream, CSV file and text paste, of the sparse
// shapes (65,536 columns with few cells), linear growth shown by one input
// at 1 MB and 16 MB, and the mini-HTML renderer and highlighter on 64 KB and
// 1 MB texts. Each line prints the input's size; the ratio lines compare
// the two sizes of one input (16 means linear).
#define PSAPI_VERSION 2
#include <windows.h>
#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "framework/Bitmap.h"
#include "framework/Codepage.h"
#include "framework/Exception.h"
#include "framework/Stream.h"
#include "grid/core/GridCellStreamCodec.h"
#include "grid/core/HtmlRender.h"
#include "grid/core/HtmlTextRoutines.h"
#include "grid/core/ProGrid.h"

namespace {

constexpr double MB = 1024.0 * 1024.0;

double Seconds()
{
    LARGE_INTEGER Frequency, Now;
    QueryPerformanceFrequency(&Frequency);
    QueryPerformanceCounter(&Now);
    return static_cast<double>(Now.QuadPart) / static_cast<double>(Frequency.QuadPart);
}

// The working set: under Wine PrivateUsage and PagefileUsage stay fixed,
// while WorkingSetSize follows what the process holds.
SIZE_T MemoryBytes()
{
    PROCESS_MEMORY_COUNTERS M{};
    M.cb = sizeof M;
    GetProcessMemoryInfo(GetCurrentProcess(), &M, sizeof M);
    return M.WorkingSetSize;
}

// Runs Work and answers its time and the highest working set above those
// before it, sampled every millisecond by a second thread.
struct TMeasured {
    double Seconds;
    double PeakMB;
};

TMeasured Measure(const std::function<void()>& Work)
{
    const SIZE_T Base = MemoryBytes();
    std::atomic<bool> Done{false};
    std::atomic<SIZE_T> Peak{Base};
    std::thread Sampler([&] {
        while (!Done) {
            const SIZE_T Now = MemoryBytes();
            if (Now > Peak)
                Peak = Now;
            Sleep(1);
        }
    });
    const double T0 = Seconds();
    Work();
    const double T1 = Seconds();
    const SIZE_T Now = MemoryBytes();
    if (Now > Peak)
        Peak = Now;
    Done = true;
    Sampler.join();
    return TMeasured{T1 - T0, static_cast<double>(Peak - Base) / MB};
}

void Report(const char* What, std::size_t InputBytes, const TMeasured& M)
{
    std::printf("%-46s input %8.2f MB: %7.3f s, peak memory %8.1f MB (%.2f x input)\n", What,
                static_cast<double>(InputBytes) / MB, M.Seconds, M.PeakMB,
                InputBytes ? M.PeakMB * MB / static_cast<double>(InputBytes) : 0.0);
}

std::unique_ptr<TProStringGrid> NewGrid()
{
    auto G = std::make_unique<TProStringGrid>(nullptr);
    G->SetOptions(G->Options() | goEditing);
    return G;
}

// A dense text stream of about Size bytes: 10 columns of short texts.
String DenseTextStream(std::size_t Size)
{
    String S;
    S.reserve(Size + 64);
    const std::size_t Rows = Size / 200;
    S += "10," + std::to_string(Rows) + "\r\n";
    for (std::size_t R = 0; R < Rows && S.size() < Size; ++R)
        for (int C = 0; C < 10; ++C)
            S += std::to_string(C) + "," + std::to_string(R) + ",cell text " + std::to_string(R) + "\r\n";
    return S;
}

// The same cells as CSV or tab-separated lines.
String DenseLines(std::size_t Size, char Delimiter)
{
    String S;
    S.reserve(Size + 64);
    for (std::size_t R = 0; S.size() < Size; ++R) {
        for (int C = 0; C < 10; ++C) {
            if (C)
                S += Delimiter;
            S += "cell text " + std::to_string(R);
        }
        S += "\r\n";
    }
    return S;
}

TMemoryStream* StreamOf(const String& Bytes, TMemoryStream& M)
{
    M.WriteBuffer(Bytes.data(), static_cast<Integer>(Bytes.size()));
    M.SetPosition(0);
    return &M;
}

String WriteFile(const std::filesystem::path& P, const String& Bytes)
{
    std::ofstream(P, std::ios::binary).write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    return WideToStr(P.wstring());
}

void TextStreamCase(const char* What, const String& Bytes)
{
    TMemoryStream M;
    StreamOf(Bytes, M);
    auto G = NewGrid();
    Report(What, Bytes.size(), Measure([&] { G->ReadGridTextStream(&M); }));
}

void CsvCase(const char* What, const String& Bytes, const std::filesystem::path& Dir)
{
    const String Name = WriteFile(Dir / "load.csv", Bytes);
    auto G = NewGrid();
    Report(What, Bytes.size(), Measure([&] { G->ImportCSVFile(Name, -1); }));
    std::filesystem::remove(Dir / "load.csv");
}

void PasteCase(const char* What, const String& Bytes)
{
    auto G = NewGrid();
    Report(What, Bytes.size(), Measure([&] { G->PasteTextAt(0, 0, Bytes.c_str()); }));
}

// One input at 1 MB and at 16 MB: the time ratio near 16 shows linear time.
void Ratio(const char* What, const std::function<String(std::size_t)>& Make,
           const std::function<void(const String&)>& Load, std::size_t Small = 1 << 20)
{
    double T[2];
    for (int i = 0; i < 2; ++i) {
        const String In = Make(i ? Small * 16 : Small);
        T[i] = Measure([&] {
                   try {
                       Load(In);
                   } catch (const Exception& E) {
                       std::printf("  %s: %s\n", What, E.Message.c_str());
                   }
               }).Seconds;
    }
    std::printf("%-46s %6.0f KB: %7.3f s, %6.0f KB: %7.3f s, ratio %.1f\n", What, Small / 1024.0, T[0],
                Small * 16 / 1024.0, T[1], T[0] > 0 ? T[1] / T[0] : 0.0);
}

String Repeat(const String& Unit, std::size_t Size)
{
    String S;
    S.reserve(Size + Unit.size());
    while (S.size() < Size)
        S += Unit;
    return S;
}

} // namespace

int main()
{
    // Each line shows as soon as its case is done, also through a pipe.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const auto Dir = std::filesystem::temp_directory_path() / "gridload-benchmark";
    std::filesystem::create_directories(Dir);
    // 16 MB rather than 100 MB: under Wine the larger inputs take minutes
    // on a loaded machine; the ratio lines below show the growth is linear.
    const std::size_t Big = 16 * 1024 * 1024;
    std::printf("-- dense loads (16 MB inputs, scaled down from 100 MB)\n");
    TextStreamCase("text stream, 10 columns", DenseTextStream(Big));
    CsvCase("CSV file, 10 columns", DenseLines(Big, ','), Dir);
    PasteCase("text paste, 10 columns", DenseLines(Big, '\t'));

    std::printf("-- sparse shapes\n");
    {
        String S = "65536,2000\r\n";
        for (int R = 0; R < 1000; ++R)
            S += std::to_string((R * 65) % 65536) + "," + std::to_string(R * 2) + ",s\r\n";
        TextStreamCase("text stream 65,536 x 2,000, 1,000 cells", S);
    }
    {
        const String Line = Repeat("a,", 2 * 65535) + "a\r\n";
        CsvCase("CSV line of 65,536 fields", Line, Dir);
        String Tabbed = Line;
        for (char& C : Tabbed)
            if (C == ',')
                C = '\t';
        PasteCase("text paste of 65,536 fields", Tabbed);
    }
    {
        TComponentRecordWriter W;
        String Widths = "64";
        for (int i = 1; i < 65536; ++i)
            Widths += ",64";
        W.BeginRecord("TGridPropIO");
        W.WriteInteger("ColCount", 65536);
        W.WriteInteger("RowCount", 65536);
        W.WriteString("ColWidths", Widths);
        W.WriteString("RowHeights", Widths);
        W.WriteBoolean("FullGrid", true);
        W.WriteInteger("ID", 0);
        W.EndRecord();
        for (int i = 0; i < 500; ++i) {
            W.BeginRecord("TGridCellIO");
            W.WriteInteger("Col", (i * 7919) % 65536);
            W.WriteInteger("Row", (i * 104729) % 65536);
            W.WriteString("Cell", "x");
            W.WriteBoolean("HasProp", false);
            W.EndRecord();
        }
        TMemoryStream M;
        StreamOf(W.Bytes(), M);
        auto G = NewGrid();
        Report("cell stream 65,536 x 65,536, 500 cells", W.Bytes().size(),
               Measure([&] { G->ReadCellBinaryStream(TPoint{0, 0}, &M); }));
    }

    std::printf("-- linear time\n");
    Ratio("text stream", DenseTextStream, [](const String& In) {
        TMemoryStream M;
        NewGrid()->ReadGridTextStream(StreamOf(In, M));
    });
    Ratio("CSV file, 10 columns", [](std::size_t N) { return DenseLines(N, ','); },
          [&](const String& In) { NewGrid()->ImportCSVFile(WriteFile(Dir / "dense.csv", In), -1); });
    Ratio("text paste, 10 columns", [](std::size_t N) { return DenseLines(N, '\t'); },
          [](const String& In) { NewGrid()->PasteTextAt(0, 0, In.c_str()); });
    // One line each: 256-byte fields, so that 16 MB are the grid's 65,536 columns.
    Ratio("CSV: one line of 256-byte fields", [](std::size_t N) { return Repeat(String(255, 'a') + ",", N); },
          [&](const String& In) { NewGrid()->ImportCSVFile(WriteFile(Dir / "line.csv", In), -1); });
    Ratio("CSV: one line of quoted 256-byte fields",
          [](std::size_t N) { return Repeat("\"" + String(120, 'q') + "\"\"" + String(131, 'x') + "\",", N); },
          [&](const String& In) { NewGrid()->ImportCSVFile(WriteFile(Dir / "line.csv", In), -1); });

    std::printf("-- mini-HTML\n");
    TBitmap Surface(400, 300, TPixelFormat::pf24bit);
    TCanvas* C = Surface.Canvas();
    const struct {
        const char* Name;
        String Unit;
    } Html[] = {{"\"&amp;\"", "&amp;"}, {"\"<B>x</B>\"", "<B>x</B>"}, {"words", "word "}, {"\"&amp;amp;\"", "&amp;amp;"}};
    for (const auto& H : Html) {
        const auto Make = [&](std::size_t N) { return Repeat(H.Unit, N); };
        Ratio((String("measure ") + H.Name).c_str(), Make,
              [&](const String& In) { MeasureHtmlText(C, In, TRect{0, 0, 400, 300}); }, 64 * 1024);
        Ratio((String("draw ") + H.Name).c_str(), Make, [&](const String& In) {
            THtmlDrawParams P;
            THtmlDrawResult R;
            DrawHtmlText(C, In, TRect{0, 0, 400, 300}, P, R);
        }, 64 * 1024);
    }
    Ratio("HighlightHtmlText, words and tags", [](std::size_t N) { return Repeat("<B>word</B> Word ", N); },
          [](const String& In) { HighlightHtmlText(In, "wor", "hi", false); }, 64 * 1024);
    std::filesystem::remove_all(Dir);
    return 0;
}
