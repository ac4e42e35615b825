#include "digits.h"

char *PutTwoDigits(char *out, uint32_t value)
{
    char reversed[10];
    int n = 0;
    do {
        reversed[n++] = (char)('0' + value % 10);
        value /= 10;
    } while (value);
    if (n == 1) reversed[n++] = '0';
    while (n) *out++ = reversed[--n];
    *out = '\0';
    return out;
}

char *PutText(char *out, const char *text)
{
    while ((*out = *text++) != '\0') ++out;
    return out;
}
