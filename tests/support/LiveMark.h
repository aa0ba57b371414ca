#pragma once
// Counts its own copies in an int: a procedure that captures one is alive
// while the count is above 0, so a test sees when a hook's procedure is freed.

struct LiveMark {
    explicit LiveMark(int& Count) : FCount(&Count) { ++*FCount; }
    LiveMark(const LiveMark& Other) : FCount(Other.FCount) { ++*FCount; }
    LiveMark& operator=(const LiveMark&) = delete;
    ~LiveMark() { --*FCount; }

private:
    int* FCount;
};
