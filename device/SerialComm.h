#pragma once
// The serial port component: one port opened for overlapped I/O, a reader
// and a writer thread doing the blocking work, and everything they produce
// handed to the creating (main) thread through a hidden window, where the
// component's events run.

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include <windows.h>

#include "framework/Component.h"
#include "framework/Exception.h"
#include "framework/MessageWindow.h"
#include "framework/Thread.h"

enum class TParity { None, Odd, Even, Mark, Space };
enum class TStopBits { _1, _1_5, _2 };
enum class TByteSize { _5, _6, _7, _8 };
enum class TDtrControl { DtrEnable, DtrDisable, DtrHandshake };
enum class TRtsControl { RtsEnable, RtsDisable, RtsHandshake, RtsTransmissionAvailable };

FRAMEWORK_EXCEPTION(ECommsError, Exception);

using TReceiveDataEvent = std::function<void(TObject* Sender, void* Buffer, Word BufferLength)>;
using TReceiveErrorEvent = std::function<void(TObject* Sender, Cardinal EventMask)>;
using TModemStateChangeEvent = std::function<void(TObject* Sender, Cardinal ModemEvent)>;
using TSendDataEmptyEvent = std::function<void(TObject* Sender)>;

// Hand-over messages posted to the hidden window (WM_USER+1 also carries a
// block to the writer thread as a thread message).
constexpr UINT PWM_GOTCOMMDATA = WM_USER + 1;
constexpr UINT PWM_RECEIVEERROR = WM_USER + 2;
constexpr UINT PWM_REQUESTHANGUP = WM_USER + 3;
constexpr UINT PWM_MODEMSTATECHANGE = WM_USER + 4;
constexpr UINT PWM_SENDDATAEMPTY = WM_USER + 5;
constexpr UINT PWM_COMMWRITE = WM_USER + 1;

// Modem bits of PWM_MODEMSTATECHANGE.
constexpr Cardinal ME_CTS = 1;
constexpr Cardinal ME_DSR = 2;
constexpr Cardinal ME_RING = 4;
constexpr Cardinal ME_RLSD = 8;

class TReadThread;
class TWriteThread;

// Why a port's threads stopped working: the first failure since the port
// was opened, "what was being done: the system's text". Written by the
// failing thread, read on any.
class TCommFailure {
public:
    void Record(const String& Text);
    void Clear();
    String Text() const;

private:
    mutable std::mutex FLock;
    String FText;
};

class TComm : public TComponent {
public:
    explicit TComm(TComponent* AOwner);
    // Closes an open port first, so no thread outlives the component's state.
    ~TComm() override;

    void OpenPort();
    void ClosePort();
    bool Opened() const { return FHandle != nullptr; }
    bool WritePortData(const void* Buffer, Word Length);
    void ApplyPortState();
    void ApplyPortTimeouts();

    HANDLE Handle() const { return FHandle; }
    HWND WindowHandle() const { return FWindow ? FWindow->Handle() : nullptr; }
    bool SendDataEmpty() const { return *FSendEmpty; }
    // Why the port's reader or writer stopped (the hang-up request's
    // reason, with the system's text); empty while both work. Cleared when
    // the port opens; kept after it closes. Safe on any thread.
    String ThreadFailure() const { return FFailure->Text(); }
    // Threads that could not be stopped within their time and were left running.
    static int AbandonedThreads();

    // Published properties; setters of the settings re-apply them to an open port.
    String CommName = "COM2";
    TParity Parity = TParity::None;   // takes effect at the next open

    Cardinal BaudRate() const { return FBaudRate; }
    void SetBaudRate(Cardinal V) { Change(FBaudRate, V); }
    bool ParityCheck() const { return FParityCheck; }
    void SetParityCheck(bool V) { Change(FParityCheck, V); }
    bool Outx_CtsFlow() const { return FOutxCtsFlow; }
    void SetOutx_CtsFlow(bool V) { Change(FOutxCtsFlow, V); }
    bool Outx_DsrFlow() const { return FOutxDsrFlow; }
    void SetOutx_DsrFlow(bool V) { Change(FOutxDsrFlow, V); }
    TDtrControl DtrControl() const { return FDtrControl; }
    void SetDtrControl(TDtrControl V) { Change(FDtrControl, V); }
    bool DsrSensitivity() const { return FDsrSensitivity; }
    void SetDsrSensitivity(bool V) { Change(FDsrSensitivity, V); }
    bool TxContinueOnXoff() const { return FTxContinueOnXoff; }
    void SetTxContinueOnXoff(bool V) { Change(FTxContinueOnXoff, V); }
    bool Outx_XonXoffFlow() const { return FOutxXonXoffFlow; }
    void SetOutx_XonXoffFlow(bool V) { Change(FOutxXonXoffFlow, V); }
    bool Inx_XonXoffFlow() const { return FInxXonXoffFlow; }
    void SetInx_XonXoffFlow(bool V) { Change(FInxXonXoffFlow, V); }
    bool ReplaceWhenParityError() const { return FReplaceWhenParityError; }
    void SetReplaceWhenParityError(bool V) { Change(FReplaceWhenParityError, V); }
    bool IgnoreNullChar() const { return FIgnoreNullChar; }
    void SetIgnoreNullChar(bool V) { Change(FIgnoreNullChar, V); }
    TRtsControl RtsControl() const { return FRtsControl; }
    void SetRtsControl(TRtsControl V) { Change(FRtsControl, V); }
    Word XonLimit() const { return FXonLimit; }
    void SetXonLimit(Word V) { Change(FXonLimit, V); }
    Word XoffLimit() const { return FXoffLimit; }
    void SetXoffLimit(Word V) { Change(FXoffLimit, V); }
    TByteSize ByteSize() const { return FByteSize; }
    void SetByteSize(TByteSize V) { Change(FByteSize, V); }
    TStopBits StopBits() const { return FStopBits; }
    void SetStopBits(TStopBits V) { Change(FStopBits, V); }
    char XonChar() const { return FXonChar; }
    void SetXonChar(char V) { Change(FXonChar, V); }
    char XoffChar() const { return FXoffChar; }
    void SetXoffChar(char V) { Change(FXoffChar, V); }
    char ReplacedChar() const { return FReplacedChar; }
    void SetReplacedChar(char V) { Change(FReplacedChar, V); }

    Cardinal ReadIntervalTimeout() const { return FTimeouts[0]; }
    void SetReadIntervalTimeout(Cardinal V) { ChangeTimeout(0, V); }
    Cardinal ReadTotalTimeoutMultiplier() const { return FTimeouts[1]; }
    void SetReadTotalTimeoutMultiplier(Cardinal V) { ChangeTimeout(1, V); }
    Cardinal ReadTotalTimeoutConstant() const { return FTimeouts[2]; }
    void SetReadTotalTimeoutConstant(Cardinal V) { ChangeTimeout(2, V); }
    Cardinal WriteTotalTimeoutMultiplier() const { return FTimeouts[3]; }
    void SetWriteTotalTimeoutMultiplier(Cardinal V) { ChangeTimeout(3, V); }
    Cardinal WriteTotalTimeoutConstant() const { return FTimeouts[4]; }
    void SetWriteTotalTimeoutConstant(Cardinal V) { ChangeTimeout(4, V); }

    TReceiveDataEvent OnReceiveData;
    TReceiveDataEvent OnAfterReceiveData;
    TReceiveErrorEvent OnReceiveError;
    TModemStateChangeEvent OnModemStateChange;
    TNotifyEvent OnRequestHangup;
    TSendDataEmptyEvent OnSendDataEmpty;

    static constexpr DWORD ThreadStopWaitMs = 10000;

protected:
    void PortWindowProc(TMessage& Msg);

private:
    template <class T>
    void Change(T& Field, T Value)
    {
        if (Field == Value)
            return;
        Field = Value;
        if (Opened())
            ApplyPortState();
    }
    void ChangeTimeout(int Index, Cardinal Value);
    void StopReader();
    void StopWriter();
    void CloseHandles();

    std::unique_ptr<TThread> FReadThread;    // none while closed
    std::unique_ptr<TThread> FWriteThread;   // none while closed
    HANDLE FHandle = nullptr;                // the port; set while open
    HANDLE FCloseEvent = nullptr;            // manual reset: tells both threads to stop
    std::unique_ptr<THiddenWindow> FWindow;
    // True when no written block is pending; written by the main thread and the writer.
    std::shared_ptr<std::atomic<bool>> FSendEmpty = std::make_shared<std::atomic<bool>>(true);
    // Shared with the threads, which may outlive the component when abandoned.
    std::shared_ptr<TCommFailure> FFailure = std::make_shared<TCommFailure>();

    Cardinal FBaudRate = 9600;
    bool FParityCheck = false;
    bool FOutxCtsFlow = false;
    bool FOutxDsrFlow = false;
    TDtrControl FDtrControl = TDtrControl::DtrEnable;
    bool FDsrSensitivity = false;
    bool FTxContinueOnXoff = true;
    bool FOutxXonXoffFlow = true;
    bool FInxXonXoffFlow = true;
    bool FReplaceWhenParityError = false;
    bool FIgnoreNullChar = false;
    TRtsControl FRtsControl = TRtsControl::RtsEnable;
    Word FXonLimit = 500;
    Word FXoffLimit = 500;
    TByteSize FByteSize = TByteSize::_8;
    TStopBits FStopBits = TStopBits::_1;
    char FXonChar = 17;
    char FXoffChar = 19;
    char FReplacedChar = 0;
    Cardinal FTimeouts[5] = {100, 0, 0, 0, 0};
};
