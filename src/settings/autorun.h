// Automatic start for every user, through one value under the machine-wide Run key.
#pragma once

// 1 when the Run value "TRELLITH15" holds this executable's path (letter case ignored).
int IsAutorunSet();
// Registers (set non-zero) or unregisters the program. 1 when the registry is as asked
// afterwards, nothing to do included; 0 when it could not be changed.
int SetAutorun(int set);
