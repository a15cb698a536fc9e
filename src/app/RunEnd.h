#pragma once
// How a run that ended by itself ended, for a service's exit status.
#include <string>

// Every run that ends by itself ends on an error, except one that only
// fetched the source table and stored it ("Updated source table.").
bool RunEndedOnError(const std::wstring& status);
