<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>language</name>
    <message>
        <source>--lang 只接受 zh 或 en，而不是“%1”</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
