// Every Win32 test checks GBK texts: without code page 936 they would prove
// nothing, so refuse to run.
#include <windows.h>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (GetACP() != 936) {
    fprintf(stderr, "ANSI code page is %u, not 936: run under a zh_CN.UTF-8 locale\n", GetACP());
    return 1;
  }
  return RUN_ALL_TESTS();
}
