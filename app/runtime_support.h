#pragma once

// Sets the stack guard that the compiler's stack protector compares in every
// protected function. Called first thing at the entry, before any protected
// function has stored the guard, so that none returns comparing a changed one.
void SeedStackGuard();
