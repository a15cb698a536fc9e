#pragma once
namespace relay {
// Feeds the verifier synthetic streams with one injected fault each;
// prints each check and returns the number that failed.
int RunSelfTest();
}
