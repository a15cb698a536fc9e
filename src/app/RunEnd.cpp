#include "app/RunEnd.h"

bool RunEndedOnError(const std::wstring& status) { return status != L"Updated source table."; }
