#pragma once

// The identities under which hosts know the control: its type library, its class and its
// two interfaces, and the one member of the default interface.
namespace infotrakon::control {

inline constexpr const char* kTypeLibraryName = "ITrakon";
inline constexpr int kTypeLibraryMajorVersion = 1;
inline constexpr int kTypeLibraryMinorVersion = 0;
inline constexpr unsigned kTypeLibraryLocale = 0x409;
inline constexpr const char* kTypeLibraryId = "{6C3A0E51-4F27-4B8E-9D1A-2E5F7B90C413}";

inline constexpr const char* kClassName = "InfoTrakon";
inline constexpr const char* kClassId = "{A4D2C7E8-1B39-4F60-8E75-93C1D0B6F2A7}";

// The default (dual) interface, with the one member FileExists.
inline constexpr const char* kDefaultInterfaceName = "_InfoTrakon";
inline constexpr const char* kDefaultInterfaceId = "{3E8B5F02-C6D4-47A1-B9E3-5A0F12D7C864}";
// The event interface: no members, the control raises no events.
inline constexpr const char* kEventInterfaceName = "__InfoTrakon";
inline constexpr const char* kEventInterfaceId = "{D95C1A63-7E08-4B2F-A4C6-0F8E3B21D5E9}";

inline constexpr long kFileExistsDispatchId = 0x60030003;
// OLE miscellaneous status: recompose on resize, cannot link inside, inside-out, activate
// when visible, alignable, set client site first.
inline constexpr unsigned long kMiscStatus = 0x28191;

}  // namespace infotrakon::control
