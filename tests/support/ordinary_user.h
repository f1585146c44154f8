#pragma once
// Root is not stopped by permission bits, so a test of them must run as an ordinary user. Under
// root the current test is run again in a child process whose user is "nobody", and passes,
// fails or skips with it.

namespace testsupport {

// Runs the current test as "nobody" and reports the child's verdict (as a failure, or a skip
// with its reason where the machine cannot switch users). Only for root.
void runCurrentTestAsOrdinaryUser();

// True when the current test has been run in a child as "nobody" (the caller then returns at
// once); false when this process is no root and should run the test itself.
bool ranAsOrdinaryUser();

}  // namespace testsupport
