#pragma once

// Finding and configuring serial-device servers on the network.
//
// Every function uses the standard Windows calling convention (WINAPI) and
// returns 1 on success and 0 otherwise. Texts are NUL-terminated 8-bit texts.
// A session is: a search (ZN_SearchAll or ZN_Search), ZN_GetSearchDev for the
// devices found, ZN_LoginTCP with what ZN_GetSearchDev delivered, then reads,
// staged changes, ZN_ResetDevTCP to make the device take them, ZN_ExitTCP.

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// Sizes of the buffers that the caller hands in.
enum {
    ZN_SEARCH_TEXT_SIZE = 21,  // each text buffer of ZN_GetSearchDev
    ZN_CONFIG_VALUE_SIZE = 101 // the value buffer of ZN_GetDevConfigTCP
};

// Starts a search of the whole network; its answers are fetched one by one
// with ZN_GetSearchDev.
int WINAPI ZN_SearchAll(void);

// Delivers the next device that has answered the last search: its IP address,
// device name and subnet mask (each truncated to 20 bytes and NUL-terminated),
// its index byte, its serial port count and a login ticket. Returns 0 while no
// (further) answer is there; the outputs are then left as they were.
int WINAPI ZN_GetSearchDev(char* ip, char* name, char* mask, unsigned char* index,
                           unsigned char* ports, unsigned int* ticket);

// Searches for the device with this IP address; returns 1 when it answered,
// and the next ZN_GetSearchDev then delivers it.
int WINAPI ZN_Search(const char* ip);

// Logs in to the device with this IP address, using the index byte and the
// ticket that ZN_GetSearchDev delivered for it and the device's login code.
// One login at a time: a second one before ZN_ExitTCP fails.
int WINAPI ZN_LoginTCP(unsigned char index, const char* ip, unsigned int ticket, const char* code);

// Copies the value of one configuration key of the logged-in device into
// value (ZN_CONFIG_VALUE_SIZE bytes, truncated and NUL-terminated); an empty
// text when the key is unknown or no device is logged in.
int WINAPI ZN_GetDevConfigTCP(const char* key, char* value);

// Stages a new value for one configuration key of the logged-in device.
int WINAPI ZN_ModifyDevConfigTCP(const char* key, const char* value);

// Makes the logged-in device take the staged values and restart; after it
// only ZN_ExitTCP is accepted.
int WINAPI ZN_ResetDevTCP(void);

// Ends the login; changes staged and not yet taken are dropped.
int WINAPI ZN_ExitTCP(void);

#ifdef __cplusplus
}
#endif
