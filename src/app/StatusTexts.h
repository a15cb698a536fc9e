#pragma once
// The texts the main window itself shows.
inline constexpr wchar_t kIdleStatus[] = L"Adjust Settings or press START";
inline constexpr wchar_t kConnectionFailedStatus[] = L"ERROR: Connection to Server failed.";
inline constexpr wchar_t kNoSourceTableStatus[] = L"ERROR: Corrupt or no source table.";
inline constexpr wchar_t kBrandingCorvo[] = L"Corvo";
