# CMake generated Testfile for 
# Source directory: /work/main/tests
# Build directory: /work/main/build-dbtests/tests
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
include("/work/main/build-dbtests/tests/tests_db[1]_include.cmake")
include("/work/main/build-dbtests/tests/tests_core[1]_include.cmake")
include("/work/main/build-dbtests/tests/tests_app[1]_include.cmake")
