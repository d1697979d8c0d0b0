/* The memory and string functions that the module's code calls and that the
 * compiler emits calls to (a structure copy, a zeroed array). The module
 * links no C runtime, so it carries its own: small loops, no instruction
 * beyond what a 486 has.
 *
 * Compiled without the compiler's built-in knowledge of these functions, so
 * that it cannot turn a loop here back into a call of the function it
 * implements. */
#include <stddef.h>

void* memcpy(void* to, const void* from, size_t count)
{
    unsigned char* d = (unsigned char*)to;
    const unsigned char* s = (const unsigned char*)from;
    while (count-- != 0)
        *d++ = *s++;
    return to;
}

void* memmove(void* to, const void* from, size_t count)
{
    unsigned char* d = (unsigned char*)to;
    const unsigned char* s = (const unsigned char*)from;
    if (d <= s || d >= s + count)
        return memcpy(to, from, count);
    while (count != 0) {   /* overlapping, destination above: copy backwards */
        count--;
        d[count] = s[count];
    }
    return to;
}

void* memset(void* block, int value, size_t count)
{
    unsigned char* d = (unsigned char*)block;
    while (count-- != 0)
        *d++ = (unsigned char)value;
    return block;
}

int memcmp(const void* a, const void* b, size_t count)
{
    const unsigned char* p = (const unsigned char*)a;
    const unsigned char* q = (const unsigned char*)b;
    for (; count != 0; count--, p++, q++) {
        if (*p != *q)
            return *p < *q ? -1 : 1;
    }
    return 0;
}

void* memchr(const void* block, int value, size_t count)
{
    const unsigned char* p = (const unsigned char*)block;
    for (; count != 0; count--, p++) {
        if (*p == (unsigned char)value)
            return (void*)p;
    }
    return NULL;
}

size_t strlen(const char* text)
{
    const char* p = text;
    while (*p != '\0')
        p++;
    return (size_t)(p - text);
}

char* strchr(const char* text, int ch)
{
    for (;; text++) {
        if (*text == (char)ch)
            return (char*)text;
        if (*text == '\0')
            return NULL;
    }
}

char* strrchr(const char* text, int ch)
{
    const char* last = NULL;
    for (;; text++) {
        if (*text == (char)ch)
            last = text;
        if (*text == '\0')
            return (char*)last;
    }
}

int strncmp(const char* a, const char* b, size_t count)
{
    for (; count != 0; count--, a++, b++) {
        if (*a != *b)
            return (unsigned char)*a < (unsigned char)*b ? -1 : 1;
        if (*a == '\0')
            break;
    }
    return 0;
}

int strcmp(const char* a, const char* b)
{
    return strncmp(a, b, (size_t)-1);
}

/* The checked copy that _FORTIFY_SOURCE puts where the compiler knows the
 * room at the destination but not the count. */
void __chk_fail(void) __attribute__((noreturn));

void* __memcpy_chk(void* to, const void* from, size_t count, size_t room)
{
    if (count > room)
        __chk_fail();
    return memcpy(to, from, count);
}
