// A plain `new` in the module's code: linked as the module is, it must not
// link (module_refuses_plain_new in tests/CMakeLists.txt). The module defines
// no plain operator new or new[] (framework/operator_new.cpp).
struct Record {
    int value;
};

Record* g_one = new Record;
Record* g_some = new Record[2];
