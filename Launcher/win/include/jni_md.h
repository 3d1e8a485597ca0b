/* Machine-dependent part of jni.h for Windows builds made with MinGW-w64:
   the JDK here ships only the Linux variant. */
#ifndef ORV_JNI_MD_H
#define ORV_JNI_MD_H

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

/* Windows is LLP64: long stays 32 bits on both x86 and x64. */
typedef long jint;
typedef long long jlong;
typedef signed char jbyte;

#endif
