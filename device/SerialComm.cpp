#include "device/SerialComm.h"

#include <atomic>
#include <cstring>
#include <initializer_list>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "framework/Exception.h"
#include "framework/StrUtils.h"
#include "framework/SysError.h"

namespace {

constexpr DWORD QueueSize = 4096;
constexpr DWORD ReadBufferSize = 4096;
constexpr DWORD ReadyWaitMs = 5000;

std::atomic<int> abandonedThreads{0};

// "COM12" is reachable only through the device namespace; "\\.\COMn" works
// for every port number, so plain COM names are opened that way.
WideString PortFileName(const String& name)
{
    const WideString wide = StrToWide(name);
    if (name.size() > 3 && SameText(name.substr(0, 3), "COM") && name.find('\\') == String::npos)
        return L"\\\\.\\" + wide;
    return wide;
}

} // namespace

// Base of the two port threads: the handles copied from the component and
// the event by which a started thread says that it is ready to take work.
class TCommThread : public TThread {
public:
    // The thread works on its own duplicates of the port and the close
    // event: a thread that had to be left running when the port closed can
    // then never touch handles that the component closes and reuses.
    TCommThread(HANDLE Port, HANDLE CloseEvent, HWND Window, std::shared_ptr<TCommFailure> Failure)
        : TThread(true), FPort(Duplicate(Port)), FCloseEvent(Duplicate(CloseEvent)), FWindow(Window),
          FFailure(std::move(Failure)), FReady(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        if (FPort == nullptr || FCloseEvent == nullptr || FReady == nullptr) {
            CloseOwnHandles();
            throw ECommsError("Unable to create event");
        }
    }
    ~TCommThread() override { CloseOwnHandles(); }
    bool WaitReady() const
    {
        HANDLE waits[2] = {FReady, Handle()};
        return WaitForMultipleObjects(2, waits, FALSE, ReadyWaitMs) == WAIT_OBJECT_0;
    }

protected:
    void SignalReady() { SetEvent(FReady); }
    // Cancels the thread's own pending operations and waits until they are
    // done, so the system never reads or writes a buffer or an OVERLAPPED
    // that is freed afterwards. Should a cancellation never complete, the
    // thread does not end, and the component leaves it (and its object)
    // alone after its bounded wait.
    void CancelPending(std::initializer_list<OVERLAPPED*> Operations)
    {
        CancelIo(FPort);
        for (OVERLAPPED* ov : Operations)
            if (ov->hEvent != nullptr && !HasOverlappedIoCompleted(ov))
                WaitForSingleObject(ov->hEvent, INFINITE);
    }
    bool PostToWindow(UINT Msg, WPARAM WParam, LPARAM LParam)
    {
        return PostMessageW(FWindow, Msg, WParam, LParam) != 0;
    }
    // The thread cannot go on: what it was doing and the system's error code
    // (read at once by the caller; 0 when the system gave none) are kept for
    // the component, then the hang-up request is posted with the code.
    void RequestHangup(const char* Doing, DWORD Error)
    {
        FFailure->Record(Error == 0 ? String(Doing) : String(Doing) + ": " + SysErrorMessage(Error));
        PostToWindow(PWM_REQUESTHANGUP, Error, 0);
    }
    bool CloseRequested() const { return WaitForSingleObject(FCloseEvent, 0) == WAIT_OBJECT_0; }

    HANDLE FPort;
    HANDLE FCloseEvent;
    HWND FWindow;
    std::shared_ptr<TCommFailure> FFailure;   // shared with the component

private:
    static HANDLE Duplicate(HANDLE h)
    {
        HANDLE copy = nullptr;
        const HANDLE self = GetCurrentProcess();
        return DuplicateHandle(self, h, self, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS) ? copy : nullptr;
    }
    void CloseOwnHandles()
    {
        for (HANDLE h : {FPort, FCloseEvent, FReady})
            if (h != nullptr)
                CloseHandle(h);
    }

    HANDLE FReady;
};

namespace {

// Errors with which a port says that it cannot report line events (Wine's
// pseudo-terminals, some USB adapters): the reader then reads data only.
bool LineEventsUnsupported(DWORD error)
{
    return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_PARAMETER;
}

// An event for one overlapped operation, closed with its owner.
class TOverlappedEvent {
public:
    TOverlappedEvent() : Ov{}
    {
        Ov.hEvent = CreateEventW(nullptr, TRUE, TRUE, nullptr);
        Error = Ov.hEvent == nullptr ? GetLastError() : 0;
    }
    ~TOverlappedEvent()
    {
        if (Ov.hEvent != nullptr)
            CloseHandle(Ov.hEvent);
    }
    TOverlappedEvent(const TOverlappedEvent&) = delete;
    TOverlappedEvent& operator=(const TOverlappedEvent&) = delete;
    bool Valid() const { return Ov.hEvent != nullptr; }
    OVERLAPPED Ov;
    DWORD Error = 0;   // why the event could not be made
};

} // namespace

class TReadThread : public TCommThread {
public:
    using TCommThread::TCommThread;

protected:
    void Execute() override;

private:
    enum class TArm { Armed, Stop };
    TArm ArmRead();
    TArm ArmLineEvent();
    bool HandOver(DWORD Count);
    bool HandleCommEvent(DWORD Mask);
    void Run();

    TOverlappedEvent FRead;
    TOverlappedEvent FLine;
    Byte FBuffer[ReadBufferSize];
    DWORD FLineMask = 0;
    // Line events cannot be watched on every port (Wine's pseudo-terminals,
    // some USB adapters); then the reader reads data only.
    bool FWatchLine = true;
};

void TReadThread::Execute()
{
    Run();
    CancelPending({&FRead.Ov, &FLine.Ov});
    PurgeComm(FPort, PURGE_RXABORT | PURGE_RXCLEAR);
}

void TReadThread::Run()
{
    if (!FRead.Valid() || !FLine.Valid()) {
        RequestHangup("Unable to create event", FRead.Valid() ? FLine.Error : FRead.Error);
        SignalReady();
        return;
    }
    if (!SetCommMask(FPort, EV_RLSD | EV_ERR | EV_RING)) {
        const DWORD error = GetLastError();
        if (!LineEventsUnsupported(error)) {
            RequestHangup("Cannot watch the serial port's line events", error);
            SignalReady();
            return;
        }
        FWatchLine = false;
    }
    if ((FWatchLine && ArmLineEvent() == TArm::Stop) || ArmRead() == TArm::Stop) {
        SignalReady();
        return;
    }
    SignalReady();
    for (;;) {
        HANDLE waits[3] = {FCloseEvent, FRead.Ov.hEvent, FLine.Ov.hEvent};
        const DWORD count = FWatchLine ? 3 : 2;
        const DWORD r = WaitForMultipleObjects(count, waits, FALSE, INFINITE);
        if (r == WAIT_OBJECT_0)
            return;
        DWORD bytes = 0;
        if (r == WAIT_OBJECT_0 + 1) {
            if (!GetOverlappedResult(FPort, &FRead.Ov, &bytes, FALSE)) {
                const DWORD error = GetLastError();
                if (error != ERROR_INVALID_HANDLE && error != ERROR_OPERATION_ABORTED)
                    RequestHangup("Error reading serial port", error);
                return;
            }
            if (!HandOver(bytes) || ArmRead() == TArm::Stop)
                return;
        } else if (r == WAIT_OBJECT_0 + 2) {
            if (!GetOverlappedResult(FPort, &FLine.Ov, &bytes, FALSE)) {
                const DWORD error = GetLastError();
                if (LineEventsUnsupported(error)) {
                    FWatchLine = false;
                    continue;
                }
                if (error != ERROR_INVALID_HANDLE && error != ERROR_OPERATION_ABORTED)
                    RequestHangup("Error waiting for serial port events", error);
                return;
            }
            if (!HandleCommEvent(FLineMask) || ArmLineEvent() == TArm::Stop)
                return;
        } else {
            RequestHangup("Error waiting for serial port", r == WAIT_FAILED ? GetLastError() : 0);
            return;
        }
    }
}

TReadThread::TArm TReadThread::ArmRead()
{
    while (!CloseRequested()) {
        DWORD bytes = 0;
        if (ReadFile(FPort, FBuffer, ReadBufferSize, &bytes, &FRead.Ov)) {
            if (!HandOver(bytes))
                return TArm::Stop;
            continue;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_IO_PENDING)
            return TArm::Armed;
        if (error != ERROR_INVALID_HANDLE && error != ERROR_OPERATION_ABORTED)
            RequestHangup("Error reading serial port", error);
        return TArm::Stop;
    }
    return TArm::Stop;
}

TReadThread::TArm TReadThread::ArmLineEvent()
{
    while (FWatchLine && !CloseRequested()) {
        if (WaitCommEvent(FPort, &FLineMask, &FLine.Ov)) {
            if (!HandleCommEvent(FLineMask))
                return TArm::Stop;
            continue;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_IO_PENDING)
            return TArm::Armed;
        if (LineEventsUnsupported(error)) {
            FWatchLine = false;
            return TArm::Armed;
        }
        if (error != ERROR_INVALID_HANDLE)
            RequestHangup("Error waiting for serial port events", error);
        return TArm::Stop;
    }
    return CloseRequested() ? TArm::Stop : TArm::Armed;
}

bool TReadThread::HandOver(DWORD Count)
{
    if (Count == 0)
        return true;
    auto* block = static_cast<Byte*>(LocalAlloc(LPTR, Count + 1));
    if (block == nullptr) {
        RequestHangup("Cannot keep received data", GetLastError());
        return false;
    }
    std::memcpy(block, FBuffer, Count);
    if (!PostToWindow(PWM_GOTCOMMDATA, Count, reinterpret_cast<LPARAM>(block))) {
        const DWORD error = GetLastError();
        LocalFree(block);
        RequestHangup("Cannot hand over received data", error);
        return false;
    }
    return true;
}

bool TReadThread::HandleCommEvent(DWORD Mask)
{
    if (Mask & EV_ERR) {
        DWORD errors = 0;
        if (!ClearCommError(FPort, &errors, nullptr)) {
            const DWORD error = GetLastError();
            if (error != ERROR_INVALID_HANDLE)
                RequestHangup("Cannot read the serial port's line errors", error);
            return false;
        }
        PostToWindow(PWM_RECEIVEERROR, 0, static_cast<LPARAM>(errors));
    }
    Cardinal modem = 0;
    if (Mask & EV_RLSD)
        modem |= ME_RLSD;
    if (Mask & EV_RING)
        modem |= ME_RING;
    if (modem != 0)
        PostToWindow(PWM_MODEMSTATECHANGE, 0, static_cast<LPARAM>(modem));
    if ((Mask & (EV_ERR | EV_RLSD | EV_RING)) == 0) {
        RequestHangup("Unexpected serial port event", 0);
        return false;
    }
    return true;
}

class TWriteThread : public TCommThread {
public:
    TWriteThread(HANDLE Port, HANDLE CloseEvent, HWND Window, std::shared_ptr<TCommFailure> Failure,
                 std::shared_ptr<std::atomic<bool>> SendEmpty)
        : TCommThread(Port, CloseEvent, Window, std::move(Failure)), FSendEmpty(std::move(SendEmpty)) {}

protected:
    void Execute() override;

private:
    bool WriteBlock(const Byte* Block, DWORD Length);
    void Run();
    void DropQueuedBlocks();

    std::shared_ptr<std::atomic<bool>> FSendEmpty;   // shared with the component
    TOverlappedEvent FWrite;
};

void TWriteThread::Execute()
{
    Run();
    CancelPending({&FWrite.Ov});
    PurgeComm(FPort, PURGE_TXABORT | PURGE_TXCLEAR);
    DropQueuedBlocks();
    *FSendEmpty = true;
}

void TWriteThread::Run()
{
    MSG msg;
    // Creates the thread's message queue, so blocks can be posted to it.
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    if (!FWrite.Valid()) {
        RequestHangup("Unable to create event", FWrite.Error);
        SignalReady();
        return;
    }
    SignalReady();
    bool notifyEmpty = true;
    for (;;) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            *FSendEmpty = true;
            if (notifyEmpty) {
                if (!PostToWindow(PWM_SENDDATAEMPTY, 0, 0)) {
                    RequestHangup("Cannot hand over a notification", GetLastError());
                    return;
                }
                notifyEmpty = false;
            }
            const DWORD r = MsgWaitForMultipleObjects(1, &FCloseEvent, FALSE, INFINITE, QS_ALLINPUT);
            if (r == WAIT_OBJECT_0)
                return;
            if (r != WAIT_OBJECT_0 + 1) {
                RequestHangup("Error waiting for data to send", r == WAIT_FAILED ? GetLastError() : 0);
                return;
            }
            continue;
        }
        if (CloseRequested()) {
            if (msg.hwnd == nullptr && msg.message == PWM_COMMWRITE)
                LocalFree(reinterpret_cast<HLOCAL>(msg.lParam));
            return;
        }
        if (msg.hwnd != nullptr) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            continue;
        }
        if (msg.message != PWM_COMMWRITE)
            continue;
        auto* block = reinterpret_cast<Byte*>(msg.lParam);
        const bool written = WriteBlock(block, static_cast<DWORD>(msg.wParam));
        LocalFree(block);
        if (!written)
            return;
        notifyEmpty = true;
    }
}

bool TWriteThread::WriteBlock(const Byte* Block, DWORD Length)
{
    DWORD done = 0;
    while (done < Length) {
        DWORD written = 0;
        if (!WriteFile(FPort, Block + done, Length - done, &written, &FWrite.Ov)) {
            const DWORD error = GetLastError();
            if (error != ERROR_IO_PENDING) {
                if (error != ERROR_INVALID_HANDLE)
                    RequestHangup("Error writing serial port", error);
                return false;
            }
            HANDLE waits[2] = {FCloseEvent, FWrite.Ov.hEvent};
            if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
                // The block is freed by the caller: the write must be over first.
                CancelPending({&FWrite.Ov});
                return false;
            }
            if (!GetOverlappedResult(FPort, &FWrite.Ov, &written, TRUE)) {
                const DWORD error = GetLastError();
                if (error != ERROR_INVALID_HANDLE)
                    RequestHangup("Error writing serial port", error);
                return false;
            }
        }
        done += written;
    }
    return true;
}

// Blocks still queued when the writer ends would otherwise never be freed.
void TWriteThread::DropQueuedBlocks()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, PWM_COMMWRITE, PWM_COMMWRITE, PM_REMOVE))
        if (msg.hwnd == nullptr)
            LocalFree(reinterpret_cast<HLOCAL>(msg.lParam));
}

TComm::TComm(TComponent* AOwner) : TComponent(AOwner)
{
    if (!IsDesigning())
        FWindow = std::make_unique<THiddenWindow>([this](TMessage& m) { PortWindowProc(m); });
}

TComm::~TComm()
{
    ClosePort();
    if (FWindow) {
        // Received blocks still queued for the window are freed with it.
        MSG msg;
        while (PeekMessageW(&msg, FWindow->Handle(), PWM_GOTCOMMDATA, PWM_GOTCOMMDATA, PM_REMOVE))
            LocalFree(reinterpret_cast<HLOCAL>(msg.lParam));
    }
}

int TComm::AbandonedThreads() { return abandonedThreads; }

void TCommFailure::Record(const String& Text)
{
    std::lock_guard<std::mutex> lock(FLock);
    if (FText.empty())
        FText = Text;
}

void TCommFailure::Clear()
{
    std::lock_guard<std::mutex> lock(FLock);
    FText.clear();
}

String TCommFailure::Text() const
{
    std::lock_guard<std::mutex> lock(FLock);
    return FText;
}

void TComm::OpenPort()
{
    if (FHandle != nullptr)
        throw ECommsError("This serial port already opened");

    HANDLE port = CreateFileW(PortFileName(CommName).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        // Which port, and the system's reason (no such port, in use by
        // another program, ...), so that the user knows what to change.
        const DWORD code = GetLastError();
        throw ECommsError("Error opening serial port " + CommName + ": " + SysErrorMessage(code));
    }
    if (GetFileType(port) != FILE_TYPE_CHAR) {
        CloseHandle(port);
        throw ECommsError("File handle is not a comm handle ");
    }
    if (!SetupComm(port, QueueSize, QueueSize)) {
        CloseHandle(port);
        throw ECommsError("Cannot setup comm buffer");
    }
    FHandle = port;
    FFailure->Clear();
    PurgeComm(FHandle, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    *FSendEmpty = true;
    ApplyPortTimeouts();
    ApplyPortState();

    FCloseEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (FCloseEvent == nullptr) {
        CloseHandle(FHandle);
        FHandle = nullptr;
        throw ECommsError("Unable to create event");
    }

    std::unique_ptr<TReadThread> reader;
    try {
        reader = std::make_unique<TReadThread>(FHandle, FCloseEvent, WindowHandle(), FFailure);
    } catch (const Exception&) {
        CloseHandles();
        throw ECommsError("Unable to create read thread");
    }
    reader->SetPriority(TThreadPriority::tpHighest);
    TReadThread* readerView = reader.get();
    FReadThread = std::move(reader);

    std::unique_ptr<TWriteThread> writer;
    try {
        writer = std::make_unique<TWriteThread>(FHandle, FCloseEvent, WindowHandle(), FFailure, FSendEmpty);
    } catch (const Exception&) {
        StopReader();
        CloseHandles();
        throw ECommsError("Unable to create write thread");
    }
    writer->SetPriority(TThreadPriority::tpHigher);
    TWriteThread* writerView = writer.get();
    FWriteThread = std::move(writer);

    FReadThread->Resume();
    FWriteThread->Resume();
    // Only a writer that has its message queue can take blocks: wait for both.
    if (!readerView->WaitReady()) {
        ClosePort();
        throw ECommsError("Unable to create read thread");
    }
    if (!writerView->WaitReady()) {
        ClosePort();
        throw ECommsError("Unable to create write thread");
    }
}

void TComm::ClosePort()
{
    if (FHandle == nullptr)
        return;
    StopReader();
    StopWriter();
    CloseHandles();
}

void TComm::CloseHandles()
{
    if (FCloseEvent != nullptr)
        CloseHandle(FCloseEvent);
    FCloseEvent = nullptr;
    if (FHandle != nullptr)
        CloseHandle(FHandle);
    FHandle = nullptr;
}

void TComm::StopReader()
{
    if (!FReadThread)
        return;
    SetEvent(FCloseEvent);
    PurgeComm(FHandle, PURGE_RXABORT | PURGE_RXCLEAR);
    if (!TThread::StopAndFree(FReadThread, ThreadStopWaitMs))
        ++abandonedThreads;
    FReadThread = nullptr;
}

void TComm::StopWriter()
{
    if (!FWriteThread)
        return;
    SetEvent(FCloseEvent);
    PurgeComm(FHandle, PURGE_TXABORT | PURGE_TXCLEAR);
    *FSendEmpty = true;
    if (!TThread::StopAndFree(FWriteThread, ThreadStopWaitMs))
        ++abandonedThreads;
    FWriteThread = nullptr;
}

bool TComm::WritePortData(const void* Buffer, Word Length)
{
    if (!FWriteThread || Length == 0)
        return false;
    auto* block = static_cast<Byte*>(LocalAlloc(LPTR, static_cast<SIZE_T>(Length) + 1));
    if (block == nullptr)
        return false;
    std::memcpy(block, Buffer, Length);
    if (!PostThreadMessageW(FWriteThread->ThreadID(), PWM_COMMWRITE, Length, reinterpret_cast<LPARAM>(block))) {
        LocalFree(block);
        return false;
    }
    *FSendEmpty = false;
    return true;
}

void TComm::ApplyPortState()
{
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    GetCommState(FHandle, &dcb);
    COMMPROP props{};
    GetCommProperties(FHandle, &props);
    DWORD mask = 0;
    GetCommMask(FHandle, &mask);

    dcb.BaudRate = FBaudRate;
    dcb.XonLim = FXonLimit;
    dcb.XoffLim = FXoffLimit;
    dcb.ByteSize = static_cast<BYTE>(static_cast<int>(FByteSize) + 5);
    dcb.Parity = static_cast<BYTE>(Parity);
    dcb.StopBits = static_cast<BYTE>(FStopBits);
    dcb.XonChar = FXonChar;
    dcb.XoffChar = FXoffChar;
    dcb.ErrorChar = FReplacedChar;
    // The whole flag word is cleared, whatever the flow-control properties
    // say: the port runs without flow control, so raw frames containing the
    // XON/XOFF characters pass.
    dcb.fBinary = 0;
    dcb.fParity = 0;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    dcb.fDtrControl = 0;
    dcb.fDsrSensitivity = 0;
    dcb.fTXContinueOnXoff = 0;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fErrorChar = 0;
    dcb.fNull = 0;
    dcb.fRtsControl = 0;
    dcb.fAbortOnError = 0;
    SetCommState(FHandle, &dcb);
}

void TComm::ApplyPortTimeouts()
{
    COMMTIMEOUTS t{};
    GetCommTimeouts(FHandle, &t);
    t.ReadIntervalTimeout = FTimeouts[0];
    t.ReadTotalTimeoutMultiplier = FTimeouts[1];
    t.ReadTotalTimeoutConstant = FTimeouts[2];
    t.WriteTotalTimeoutMultiplier = FTimeouts[3];
    t.WriteTotalTimeoutConstant = FTimeouts[4];
    SetCommTimeouts(FHandle, &t);
}

void TComm::ChangeTimeout(int Index, Cardinal Value)
{
    if (FTimeouts[Index] == Value)
        return;
    FTimeouts[Index] = Value;
    if (Opened())
        ApplyPortTimeouts();
}

void TComm::PortWindowProc(TMessage& Msg)
{
    switch (Msg.Msg) {
    case PWM_GOTCOMMDATA: {
        // The block is freed after the events, also when one of them raises.
        std::unique_ptr<void, decltype(&LocalFree)> block(reinterpret_cast<void*>(Msg.LParam), &LocalFree);
        const auto length = static_cast<Word>(Msg.WParam);
        if (OnReceiveData)
            OnReceiveData(this, block.get(), length);
        if (OnAfterReceiveData)
            OnAfterReceiveData(this, block.get(), length);
        break;
    }
    case PWM_RECEIVEERROR:
        if (OnReceiveError)
            OnReceiveError(this, static_cast<Cardinal>(Msg.LParam));
        break;
    case PWM_REQUESTHANGUP:
        if (OnRequestHangup)
            OnRequestHangup(this);
        break;
    case PWM_MODEMSTATECHANGE:
        if (OnModemStateChange)
            OnModemStateChange(this, static_cast<Cardinal>(Msg.LParam));
        break;
    case PWM_SENDDATAEMPTY:
        if (OnSendDataEmpty)
            OnSendDataEmpty(this);
        break;
    default:
        Msg.Result = DefWindowProcW(WindowHandle(), Msg.Msg, Msg.WParam, Msg.LParam);
        break;
    }
}
