#pragma once
// Calling conventions of the display driver library. They only mean something on 32-bit x86:
// every entry point is cdecl and the allocation callback is stdcall. Elsewhere the compiler
// has a single convention and the attributes would only draw warnings.

#if defined(__i386__)
#define TW_ADL_CDECL __attribute__((cdecl))
#define TW_ADL_STDCALL __attribute__((stdcall))
#else
#define TW_ADL_CDECL
#define TW_ADL_STDCALL
#endif
