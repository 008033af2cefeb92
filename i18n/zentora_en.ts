<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>app</name>
    <message>
        <source>……另有%1个</source>
        <translation>… and %1 more</translation>
    </message>
    <message>
        <source>工程中已有同名文件“%1”，是否替换？</source>
        <translation>The project already has a file named &quot;%1&quot;. Replace it?</translation>
    </message>
    <message>
        <source>以下文件未能加入工程：</source>
        <translation>These files could not be added to the project:</translation>
    </message>
    <message>
        <source>添加图片</source>
        <translation>Add Pictures</translation>
    </message>
    <message>
        <source>图片文件(*.bmp *.jpg *.jpeg *.gif *.png *.tif)</source>
        <translation>Picture files (*.bmp *.jpg *.jpeg *.gif *.png *.tif)</translation>
    </message>
    <message>
        <source>导出图片</source>
        <translation>Export Pictures</translation>
    </message>
    <message>
        <source>二进制文件(*.bin);;C头文件(*.h)</source>
        <translation>Binary files (*.bin);;C header files (*.h)</translation>
    </message>
    <message>
        <source>以下图片未能调整：</source>
        <translation>These pictures could not be adjusted:</translation>
    </message>
    <message>
        <source>添加声音</source>
        <translation>Add Sounds</translation>
    </message>
    <message>
        <source>声音文件(*.wav)</source>
        <translation>Sound files (*.wav)</translation>
    </message>
    <message numerus="yes">
        <source>确认删除%n张图片?</source>
        <translation>
            <numerusform>Delete %n picture?</numerusform>
            <numerusform>Delete %n pictures?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>确认删除%n个声音文件?</source>
        <translation>
            <numerusform>Delete %n sound file?</numerusform>
            <numerusform>Delete %n sound files?</numerusform>
        </translation>
    </message>
    <message>
        <source>已导出：%1</source>
        <translation>Exported: %1</translation>
    </message>
    <message>
        <source>调整将改写图片“%1”的文件，无法撤销。是否继续？</source>
        <translation>Adjusting rewrites the file of the picture “%1” and cannot be undone. Continue?</translation>
    </message>
    <message>
        <source>调整将改写这%1张图片的文件，无法撤销。是否继续？</source>
        <translation>Adjusting rewrites the files of these %1 pictures and cannot be undone. Continue?</translation>
    </message>
    <message>
        <source>已调整：%1</source>
        <translation>Adjusted: %1</translation>
    </message>
</context>
<context>
    <name>base</name>
    <message>
        <source>是命名管道（FIFO），不是普通文件</source>
        <translation>a named pipe (FIFO), not a regular file</translation>
    </message>
    <message>
        <source>是设备，不是普通文件</source>
        <translation>a device, not a regular file</translation>
    </message>
    <message>
        <source>是套接字，不是普通文件</source>
        <translation>a socket, not a regular file</translation>
    </message>
    <message>
        <source>不能写入要读取的文件：%1</source>
        <translation>Cannot write to a file this command reads: %1</translation>
    </message>
    <message>
        <source>不能写入“%1”：它就是要读取的文件“%2”</source>
        <translation>Cannot write to “%1”: it is “%2”, which this command reads</translation>
    </message>
    <message>
        <source>无法创建文件：</source>
        <translation>Cannot create file: </translation>
    </message>
    <message>
        <source>写入文件失败：</source>
        <translation>Cannot write file: </translation>
    </message>
    <message>
        <source>无法替换文件：</source>
        <translation>Cannot replace file: </translation>
    </message>
    <message>
        <source>资源文件不是同一次编译的结果：中断的替换无法完成，%1</source>
        <translation>The resource files are not from one compile: an interrupted replacement cannot be finished, %1</translation>
    </message>
    <message>
        <source>已存在，但不是文件夹</source>
        <translation>exists but is not a folder</translation>
    </message>
    <message>
        <source>%1 已存在，但不是文件夹</source>
        <translation>%1 exists but is not a folder</translation>
    </message>
    <message>
        <source>不是普通文件</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>文件或文件夹不存在</source>
        <translation>no such file or folder</translation>
    </message>
    <message>
        <source>没有访问权限</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>文件系统是只读的</source>
        <translation>read-only file system</translation>
    </message>
    <message>
        <source>磁盘已满</source>
        <translation>disk full</translation>
    </message>
    <message>
        <source>磁盘配额已用完</source>
        <translation>disk quota exceeded</translation>
    </message>
    <message>
        <source>文件或设备正忙</source>
        <translation>file or device busy</translation>
    </message>
    <message>
        <source>文件已被其他操作占用</source>
        <translation>file in use by another operation</translation>
    </message>
    <message>
        <source>是文件夹，不是文件</source>
        <translation>a folder, not a file</translation>
    </message>
    <message>
        <source>路径中的某一级不是文件夹</source>
        <translation>a part of the path is not a folder</translation>
    </message>
    <message>
        <source>内存不足</source>
        <translation>out of memory</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>文件过大</source>
        <translation>file too large</translation>
    </message>
    <message>
        <source>文件夹正被另一个编译或下载使用</source>
        <translation>the folder is in use by another compile or download</translation>
    </message>
    <message>
        <source>无法创建文件夹：</source>
        <translation>Cannot create folder: </translation>
    </message>
    <message>
        <source>路径中有换行，不能写入依赖文件：</source>
        <translation>A path with a line break cannot be written into a dependency file: </translation>
    </message>
</context>
<context>
    <name>cli</name>
    <message>
        <source>不能把输出写入要读取的文件：%1</source>
        <translation>Cannot write the output to a file this command reads: %1</translation>
    </message>
    <message>
        <source>无法打开工程：</source>
        <translation>Cannot open project: </translation>
    </message>
    <message>
        <source>目录不存在！</source>
        <translation>Folder does not exist! </translation>
    </message>
    <message>
        <source>不是文件夹：</source>
        <translation>Not a folder: </translation>
    </message>
    <message>
        <source>无法写入文件：</source>
        <translation>Cannot write file: </translation>
    </message>
    <message>
        <source>无法打开字库：</source>
        <translation>Cannot open font library: </translation>
    </message>
    <message>
        <source>与工程文件同名，不能加入工程：</source>
        <translation>Has the project file&apos;s name, cannot be added to the project: </translation>
    </message>
    <message>
        <source>同名的不同文件不能都加入工程：%1 与 %2</source>
        <translation>Different files of the same name cannot both be added to the project: %1 and %2</translation>
    </message>
    <message>
        <source>工程文件夹中已有同名的不同文件：</source>
        <translation>The project folder already holds a different file of that name: </translation>
    </message>
    <message>
        <source>不是有效的工程文件路径：</source>
        <translation>Not a valid project file path: </translation>
    </message>
    <message>
        <source>工程文件已存在：</source>
        <translation>Project file already exists: </translation>
    </message>
    <message>
        <source>%1（%2）：</source>
        <translation>%1 (%2):</translation>
    </message>
    <message>
        <source>（无效条目）</source>
        <translation>(invalid entry)</translation>
    </message>
    <message>
        <source>  （未找到文件）</source>
        <translation>  (file not found)</translation>
    </message>
    <message>
        <source>工程：</source>
        <translation>Project: </translation>
    </message>
    <message>
        <source>图片</source>
        <translation>Pictures</translation>
    </message>
    <message>
        <source>声音</source>
        <translation>Sounds</translation>
    </message>
    <message>
        <source>需要 --%1</source>
        <translation>--%1 is required</translation>
    </message>
    <message>
        <source>把图片就地改写为正好 W x H 像素，格式由扩展名决定
（bmp、gif、jpg、jpeg、png、tif、tiff）；其他文件保持不变。
不给出 --scale 时裁剪左上区域；--scale 时伸缩并保持纵横比，
多出的右边或下边部分被切掉，除非同时给出
--no-keep-aspect。</source>
        <translation>Rewrite pictures in place at exactly W x H pixels, in the format their
extension names (bmp, gif, jpg, jpeg, png, tif, tiff); other files are left
as they are. Crops the top-left region unless --scale is given; --scale keeps
the proportions by cutting off the right or bottom part unless
--no-keep-aspect is given too.</translation>
    </message>
    <message>
        <source>要调整的图片（一个或多个）。</source>
        <translation>A picture to adjust (one or more).</translation>
    </message>
    <message>
        <source>目标宽度，1 到 2000。</source>
        <translation>The target width, 1 to 2000.</translation>
    </message>
    <message>
        <source>目标高度，1 到 2000。</source>
        <translation>The target height, 1 to 2000.</translation>
    </message>
    <message>
        <source>伸缩图片而不是裁剪。</source>
        <translation>Scale the picture instead of cropping it.</translation>
    </message>
    <message>
        <source>与 --scale 一起：把整张图片拉伸到目标大小。</source>
        <translation>With --scale, stretch the whole picture to the target.</translation>
    </message>
    <message>
        <source>缺少参数</source>
        <translation>missing arguments</translation>
    </message>
    <message>
        <source> 或 </source>
        <translation> or </translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>请试试“%1 --help”</source>
        <translation>try &apos;%1 --help&apos;</translation>
    </message>
    <message>
        <source>参数过多</source>
        <translation>too many arguments</translation>
    </message>
    <message>
        <source>把工程的图片编译为 DIR/image.bin 和 DIR/image.idx，
声音编译为 DIR/wave.bin 和 DIR/wave.idx
（DIR 默认为工程文件夹 + output/）。</source>
        <translation>Compile the project&apos;s pictures into DIR/image.bin and DIR/image.idx
and its sounds into DIR/wave.bin and DIR/wave.idx
(DIR defaults to the project&apos;s folder + output/).</translation>
    </message>
    <message>
        <source>把 DIR 中的 image.idx、image.bin、wave.idx 和 wave.bin 下载到模块。</source>
        <translation>Send image.idx, image.bin, wave.idx and wave.bin of DIR to the module.</translation>
    </message>
    <message>
        <source>如上编译，然后下载这四个文件。</source>
        <translation>Compile as above, then download the four files.</translation>
    </message>
    <message>
        <source>把图片写入 FILE：FILE 以 .bin 结尾（不分大小写）时写数据文件，
并在旁边写 FILE 的名称 + .idx；否则写由字节数组组成的 C 头文件。</source>
        <translation>Write the pictures to FILE: the data file with FILE&apos;s name + .idx beside
it when FILE ends in .bin (any case), else a C header of byte arrays.</translation>
    </message>
    <message>
        <source>把图片就地调整为 W x H（1 到 2000）：裁剪左上部分，
或伸缩，除非给出 --no-keep-aspect，否则保持纵横比。</source>
        <translation>Resize pictures in place to W x H (1 to 2000): crop the top-left part,
or scale, keeping the proportions unless --no-keep-aspect.</translation>
    </message>
    <message>
        <source>创建工程文件，并把文件复制到工程文件夹。</source>
        <translation>Make a project file, copying the files into its folder.</translation>
    </message>
    <message>
        <source>列出工程的图片和声音及其编号。</source>
        <translation>List a project&apos;s pictures and sounds with their numbers.</translation>
    </message>
    <message>
        <source>像字库取模窗口一样列出已安装的字体。</source>
        <translation>List the installed fonts as the glyph dialog does.</translation>
    </message>
    <message>
        <source>输出 TEXT 的字模 C 数组；或按编码顺序为 FILE 中的每个字符取模一次，
写成固件可直接包含的 C 头文件 HEADER。</source>
        <translation>Print the C array of TEXT&apos;s glyphs; or model each character of FILE
once, in code order, into HEADER, a C header for a firmware.</translation>
    </message>
    <message>
        <source>生成整个字符集的字库。</source>
        <translation>Write the font library of a whole character set.</translation>
    </message>
    <message>
        <source>以文字显示字库中的一个字模，或把字库表格画成图片。</source>
        <translation>Show one glyph of a font library as text, or its table as a picture.</translation>
    </message>
    <message>
        <source>用法：zentora-cli 命令 [参数] [选项]

为 Zentora 液晶显示模块准备图片和声音。

命令：
</source>
        <translation>Usage: zentora-cli COMMAND [ARGUMENTS] [OPTIONS]

Prepares pictures and sounds for the Zentora LCD display module.

Commands:
</translation>
    </message>
    <message>
        <source>
图片选项：
  --depth 16|24            16 位 RGB565（默认）或 24 位 RGB
  --msb-first              每个像素的高字节（或红色）在前
  --row-right-to-left      每行从右至左扫描
  --column-bottom-to-top   每列从下至上扫描
  --column-first           按列存放
  --dither none|ordered|diffusion  16 位时的抖动（默认 none）

字体选项：
  --font 名称 | --font-file 路径   字体（默认：与取模窗口的选择相同）
  --size PX                        字体高度，以像素计（1 到 192，默认 16）
  --charset ascii|gb2312|gbk       字符集（默认 gb2312）
  --cell 8|16|24|32|40|48          字模大小（默认 16）
  --vertical                       纵向取模
  --bit0-first                     每个字节的第一个像素放在 bit0
  --mono                           单色点阵：黑白微调，不管 gasp 表

其他选项：
  --lang zh|en                     界面语言（默认按系统语言环境）
  --verbose                        同时显示 Qt 和图片解码库的英文消息
  --depfile DEPFILE                compile、build、export、glyphs、fontlib：
                                   成功后写 Make 格式的依赖文件
  --json                           inspect、project show：在 stdout 上
                                   输出一个 JSON 文档

输出信息的各行写到 stdout，错误写到 stderr。
退出状态：0 成功，1 有步骤失败，2 参数错误或无法读取工程。
“zentora-cli 命令 --help”说明单个命令。
</source>
        <translation>
Image options:
  --depth 16|24            16-bit RGB565 (default) or 24-bit RGB
  --msb-first              high byte (or red) of each pixel first
  --row-right-to-left      scan each row from right to left
  --column-bottom-to-top   scan each column from bottom to top
  --column-first           store column by column
  --dither none|ordered|diffusion  dithering at 16 bits (default none)

Font options:
  --font NAME | --font-file PATH   the font (default: as the dialog selects)
  --size PX                        font height in pixels (1 to 192, default 16)
  --charset ascii|gb2312|gbk       character set (default gb2312)
  --cell 8|16|24|32|40|48          glyph cell (default 16)
  --vertical                       model column by column
  --bit0-first                     first pixel of each byte in bit 0
  --mono                           black and white, hinted, whatever the gasp table says

Other options:
  --lang zh|en                     language of the texts (default: the locale&apos;s)
  --verbose                        also show the messages of Qt and the picture decoders
  --depfile DEPFILE                compile, build, export, glyphs, fontlib:
                                   write a Make dependency file after a successful run
  --json                           inspect, project show: one JSON document on stdout

Lines of the output list go to stdout, errors to stderr.
Exit status: 0 success, 1 a step failed, 2 bad arguments or unreadable project.
&apos;zentora-cli COMMAND --help&apos; describes one command.
</translation>
    </message>
    <message>
        <source>用法：zentora-cli </source>
        <translation>Usage: zentora-cli </translation>
    </message>
    <message>
        <source>      zentora-cli </source>
        <translation>       zentora-cli </translation>
    </message>
    <message>
        <source>%1：请给出 %2</source>
        <translation>%1: say %2</translation>
    </message>
    <message>
        <source>%1：未知的操作“%2”</source>
        <translation>%1: unknown action &apos;%2&apos;</translation>
    </message>
    <message>
        <source>未知的命令“%1”；“zentora-cli --help”列出全部命令</source>
        <translation>unknown command &apos;%1&apos;; &apos;zentora-cli --help&apos; lists the commands</translation>
    </message>
    <message>
        <source>把工程的图片编译为 image.bin 和 image.idx，再把声音编译为
wave.bin 和 wave.idx。DIR 默认为工程文件夹 + output/。</source>
        <translation>Compile a project&apos;s pictures into image.bin and image.idx, then its sounds
into wave.bin and wave.idx. DIR defaults to the project&apos;s folder + output/.</translation>
    </message>
    <message>
        <source>后台任务没有接受命令</source>
        <translation>the worker did not take the command</translation>
    </message>
    <message>
        <source>存放这四个资源文件的文件夹。</source>
        <translation>The folder holding the four resource files.</translation>
    </message>
    <message>
        <source>把工程编译到 DIR（默认：工程文件夹 + output/），然后
把四个资源文件下载到模块。</source>
        <translation>Compile a project into DIR (default: the project&apos;s folder + output/), then
send the four resource files to the module.</translation>
    </message>
    <message>
        <source>把工程的图片导出到 FILE：FILE 以 .bin 结尾（不分大小写）时写编译器的数据文件，
并在旁边写其索引 .idx；否则写 C 头文件，每张图片一个字节数组。</source>
        <translation>Export a project&apos;s pictures to FILE: the compiler&apos;s data file when FILE ends
in .bin (any case), with its index beside it as .idx; otherwise a C header
with one byte array per picture.</translation>
    </message>
    <message>
        <source>工程文件（.zentoraprj）。</source>
        <translation>The project file (.zentoraprj).</translation>
    </message>
    <message>
        <source>要写入的文件。</source>
        <translation>The file to write.</translation>
    </message>
    <message>
        <source>像字库取模窗口一样列出已安装的字体；“*”标出窗口
首先选中的字体。</source>
        <translation>List the installed fonts as the glyph dialog lists them; &apos;*&apos; marks the one
it selects first.</translation>
    </message>
    <message>
        <source>只列名称，不加标记。</source>
        <translation>Names only, without the mark.</translation>
    </message>
    <message>
        <source>输出 TEXT 的字模 C 数组，每个 UTF-16 码元一行，行尾与窗口相同，为 CR LF。
给出 --text-file 或 --header 时，文本中的每个字符只取模一次，按所选字符集的
编码从小到大排列；换行等控制字符不计，字符集中没有的字符列在 stderr 上，
退出状态为 1。</source>
        <translation>Print the C array of TEXT&apos;s glyphs, one line per UTF-16 code unit, with the
dialog&apos;s CR LF line ends. With --text-file or --header each character of the
text is modelled once, in ascending code order of the chosen character set; line
ends and other control characters are left out, and characters the set lacks are
named on stderr with exit status 1.</translation>
    </message>
    <message>
        <source>要取模的字符。</source>
        <translation>The characters to model.</translation>
    </message>
    <message>
        <source>把整个字符集的字库写入 OUT：按编码顺序排列的全部字模，
没有其他内容。已有的 OUT 只在新字库完整生成后
才被替换。</source>
        <translation>Write the font library of a whole character set to OUT: every glyph in code
order, nothing else. An existing OUT is replaced only once the new one is
complete.</translation>
    </message>
    <message>
        <source>要写入的字库文件（.bin）。</source>
        <translation>The library file to write (.bin).</translation>
    </message>
    <message>
        <source>已中断；没有写入任何内容</source>
        <translation>interrupted; nothing was written</translation>
    </message>
    <message>
        <source>“zentora-cli fonts”列出的字体（默认：与窗口默认相同）。</source>
        <translation>A font from &apos;zentora-cli fonts&apos; (default: the dialog&apos;s default).</translation>
    </message>
    <message>
        <source>用这个字体文件而不是已安装的字体。</source>
        <translation>Draw with this font file instead of an installed font.</translation>
    </message>
    <message>
        <source>字体高度，以像素计（1 到 192，默认 16）。</source>
        <translation>Font height in pixels (1 to 192, default 16).</translation>
    </message>
    <message>
        <source>ascii、gb2312（默认）或 gbk。</source>
        <translation>ascii, gb2312 (default) or gbk.</translation>
    </message>
    <message>
        <source>字模大小：8、16（默认）、24、32、40 或 48。</source>
        <translation>Glyph cell: 8, 16 (default), 24, 32, 40 or 48.</translation>
    </message>
    <message>
        <source>纵向取模，而不是横向取模。</source>
        <translation>Model column by column instead of row by row.</translation>
    </message>
    <message>
        <source>每个字节的第一个像素放在 bit0。</source>
        <translation>Store the first pixel of each byte in bit 0.</translation>
    </message>
    <message>
        <source>--charset 只接受 ascii、gb2312 或 gbk，而不是“%1”</source>
        <translation>--charset takes ascii, gb2312 or gbk, not &apos;%1&apos;</translation>
    </message>
    <message>
        <source>无法加载字体文件“%1”</source>
        <translation>cannot load the font file &apos;%1&apos;</translation>
    </message>
    <message>
        <source>没有名为“%1”的已安装字体；改用其替代字体</source>
        <translation>no installed font is named &apos;%1&apos;; drawing with its substitute</translation>
    </message>
    <message>
        <source>像字库查看窗口一样读取字库。W 和 H 是字模的宽度和高度。
不给出 --glyph 或 --png 时，输出文件长度和行数。</source>
        <translation>Read a font library as the viewer does. W and H are a glyph&apos;s drawn width
and height. Without --glyph or --png, print the file&apos;s length and rows.</translation>
    </message>
    <message>
        <source>字库。</source>
        <translation>The font library.</translation>
    </message>
    <message>
        <source>字模宽度，以像素计（8 到 48）。</source>
        <translation>Glyph width in pixels (8 to 48).</translation>
    </message>
    <message>
        <source>字模高度，以像素计（8 到 48）。</source>
        <translation>Glyph height in pixels (8 to 48).</translation>
    </message>
    <message>
        <source>字模是纵向取模的。</source>
        <translation>The glyphs were modelled column by column.</translation>
    </message>
    <message>
        <source>每个字节的第一个像素在 bit0。</source>
        <translation>The first pixel of each byte is bit 0.</translation>
    </message>
    <message>
        <source>把第 N 个字模输出为由“#”和“.”组成的行。</source>
        <translation>Print glyph N as rows of &apos;#&apos; and &apos;.&apos;.</translation>
    </message>
    <message>
        <source>把查看窗口的表格画到 FILE。</source>
        <translation>Draw the viewer&apos;s table to FILE.</translation>
    </message>
    <message>
        <source>与 --png 一起：画出的第一行（默认 0）。</source>
        <translation>With --png: the first row drawn (default 0).</translation>
    </message>
    <message>
        <source>与 --png 一起：最多画这么多行（默认全部）。</source>
        <translation>With --png: at most this many rows (default all).</translation>
    </message>
    <message>
        <source>需要 --width 和 --height</source>
        <translation>--width and --height are required</translation>
    </message>
    <message>
        <source>--glyph 和 --png 不能同时使用</source>
        <translation>--glyph and --png exclude each other</translation>
    </message>
    <message>
        <source>色彩深度：16（RGB565，默认）或 24（RGB）。</source>
        <translation>Colour depth: 16 (RGB565, default) or 24 (RGB).</translation>
    </message>
    <message>
        <source>每个像素的高字节（或红色）在前。</source>
        <translation>Store the high byte (or red) of each pixel first.</translation>
    </message>
    <message>
        <source>每行从右至左扫描。</source>
        <translation>Scan each row from right to left.</translation>
    </message>
    <message>
        <source>每列从下至上扫描。</source>
        <translation>Scan each column from bottom to top.</translation>
    </message>
    <message>
        <source>按列存放，而不是按行存放。</source>
        <translation>Store column by column instead of row by row.</translation>
    </message>
    <message>
        <source>--depth 只接受 16 或 24，而不是“%1”</source>
        <translation>--depth takes 16 or 24, not &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--dither 只接受 none、ordered 或 diffusion，而不是“%1”</source>
        <translation>--dither takes none, ordered or diffusion, not &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--dither 只用于 16 位色彩深度</source>
        <translation>--dither applies to 16-bit colour depth only</translation>
    </message>
    <message>
        <source>16 位时的抖动：none（默认）、ordered（有序）或 diffusion（误差扩散）。</source>
        <translation>Dithering at 16 bits: none (default), ordered or diffusion.</translation>
    </message>
    <message>
        <source>把资源文件写入 DIR。</source>
        <translation>Write the resource files into DIR.</translation>
    </message>
    <message>
        <source>%1 或更大的整数</source>
        <translation>an integer of %1 or more</translation>
    </message>
    <message>
        <source>%1 到 %2 的整数</source>
        <translation>an integer from %1 to %2</translation>
    </message>
    <message>
        <source>--%1 只接受 %2，而不是“%3”</source>
        <translation>--%1 takes %2, not &apos;%3&apos;</translation>
    </message>
    <message>
        <source>在 PROJECT 处创建工程文件，文件夹不存在时创建它，
并按给出的顺序把给出的文件复制到该文件夹。</source>
        <translation>Make a project file at PROJECT, creating its folder when missing and
copying the given files into that folder, in the order given.</translation>
    </message>
    <message>
        <source>要创建的工程文件（.zentoraprj）。</source>
        <translation>The project file to create (.zentoraprj).</translation>
    </message>
    <message>
        <source>加入一张图片（可重复）。</source>
        <translation>Add a picture (repeatable).</translation>
    </message>
    <message>
        <source>加入一个声音（可重复）。</source>
        <translation>Add a sound (repeatable).</translation>
    </message>
    <message>
        <source>按顺序列出工程的图片和声音及其编号。</source>
        <translation>List a project&apos;s pictures and sounds in order, with their numbers.</translation>
    </message>
    <message>
        <source>把 DIR 里的 image.idx、image.bin、wave.idx 和 wave.bin 发送到模块。</source>
        <translation>Send DIR&apos;s image.idx, image.bin, wave.idx and wave.bin to the module.</translation>
    </message>
    <message>
        <source>为每个字模做微调并画成黑白点阵，不管字体的 gasp 表怎样要求（字体自带的该字号点阵仍然优先）。</source>
        <translation>Hint every glyph and draw it in black and white, whatever the font&apos;s gasp table asks for (the font&apos;s own bitmaps of the size still win).</translation>
    </message>
    <message>
        <source>PROJECT [--out DIR] [--depfile DEPFILE] [图片选项]</source>
        <translation>PROJECT [--out DIR] [--depfile DEPFILE] [image options]</translation>
    </message>
    <message>
        <source>PROJECT FILE [--depfile DEPFILE] [图片选项]</source>
        <translation>PROJECT FILE [--depfile DEPFILE] [image options]</translation>
    </message>
    <message>
        <source>TEXT | --text-file FILE [--header HEADER] [--depfile DEPFILE]
[字体选项]</source>
        <translation>TEXT | --text-file FILE [--header HEADER] [--depfile DEPFILE]
[font options]</translation>
    </message>
    <message>
        <source>OUT [--depfile DEPFILE] [字体选项]</source>
        <translation>OUT [--depfile DEPFILE] [font options]</translation>
    </message>
    <message>
        <source>列出并检查 DIR 中编译好的资源；按图片选项像模块那样读出图片写成文件，
把声音写成 WAV 文件，并把第 N 张图片按其色彩深度的全部 16 种设置画出。</source>
        <translation>List and check the compiled resources of DIR; write the pictures as the
module reads them with the image options, the sounds as WAV files, and
picture N under all 16 settings of its depth.</translation>
    </message>
    <message>
        <source>未发现问题</source>
        <translation>No findings</translation>
    </message>
    <message>
        <source>--sheet 写入 --png DIR2 的文件夹；请同时给出 --png</source>
        <translation>--sheet writes into the folder of --png DIR2; give --png too</translation>
    </message>
    <message>
        <source>读回 DIR 中编译好的资源：列出每张图片和每个声音，
按编译器写出的格式检查这些文件，并按给出的图片选项
像模块那样把它们读出来。
退出状态：0 没有发现问题，1 发现问题或有文件没有写成，2 参数错误。</source>
        <translation>Read the compiled resources of DIR back: list every picture and sound,
check the files against the formats the compilers write, and unpack them
as the module reads them with the given image options.
Exit status: 0 no findings, 1 findings or a file not written, 2 bad arguments.</translation>
    </message>
    <message>
        <source>存放 image.idx、image.bin、wave.idx、wave.bin 的文件夹。</source>
        <translation>The folder holding image.idx, image.bin, wave.idx, wave.bin.</translation>
    </message>
    <message>
        <source>把每张图片（0000.png, ...）和 sheet.png 写入 DIR2。</source>
        <translation>Write each picture (0000.png, ...) and sheet.png into DIR2.</translation>
    </message>
    <message>
        <source>把每个声音写回 WAV 文件（0000.wav, ...），放入 DIR2。</source>
        <translation>Write each sound back as a WAV file (0000.wav, ...) into DIR2.</translation>
    </message>
    <message>
        <source>把第 N 张图片按其色彩深度的全部 16 种设置画到 --png 文件夹中的 picture-N-settings.png。</source>
        <translation>Write picture N under all 16 settings of its depth to picture-N-settings.png in the --png folder.</translation>
    </message>
    <message>
        <source>本命令，不带其他参数。</source>
        <translation>This command; it takes no other arguments.</translation>
    </message>
    <message>
        <source>DIR [图片选项] [--png DIR2] [--wav DIR2] [--sheet N]
[--json]</source>
        <translation>DIR [image options] [--png DIR2] [--wav DIR2] [--sheet N]
[--json]</translation>
    </message>
    <message>
        <source>已创建工程：%1（%2，%3）</source>
        <translation>Created project: %1 (%2, %3)</translation>
    </message>
    <message numerus="yes">
        <source>图片 %n</source>
        <translation>
            <numerusform>%n picture</numerusform>
            <numerusform>%n pictures</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>声音 %n</source>
        <translation>
            <numerusform>%n sound</numerusform>
            <numerusform>%n sounds</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>长度 %1 字节，每个字模 %2 字节，共 %n 行，每行 16 个字模</source>
        <translation>
            <numerusform>length %1 bytes, %2 bytes per glyph, %n row of 16 glyphs</numerusform>
            <numerusform>length %1 bytes, %2 bytes per glyph, %n rows of 16 glyphs</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>发现 %n 个问题：</source>
        <translation>
            <numerusform>%n finding:</numerusform>
            <numerusform>%n findings:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>--sheet %1：文件夹中只有 %n 张图片</source>
        <translation>
            <numerusform>--sheet %1: the folder has %n picture</numerusform>
            <numerusform>--sheet %1: the folder has %n pictures</numerusform>
        </translation>
    </message>
    <message>
        <source>成功后把 Make 格式的依赖文件写入 DEPFILE：目标是写出的文件，
依赖是读取的文件。</source>
        <translation>After a successful run, write a Make dependency file to DEPFILE: the files written as targets, the files read as prerequisites.</translation>
    </message>
    <message>
        <source>--depfile 不能是本命令写出的文件：</source>
        <translation>--depfile cannot be a file this command writes: </translation>
    </message>
    <message>
        <source>--depfile 要求把标准输出重定向到文件，或给出 --header</source>
        <translation>--depfile needs standard output redirected to a file, or --header</translation>
    </message>
    <message>
        <source>从这个 UTF-8 文本文件（可带 BOM）读取字符，代替 TEXT。</source>
        <translation>Read the characters from this UTF-8 text file (a BOM allowed) instead of TEXT.</translation>
    </message>
    <message>
        <source>把字模写成 C 头文件 HEADER：字模数组、排好序的编码表、字符个数
和字模大小，名称取自文件名。</source>
        <translation>Write the glyphs as the C header HEADER: the glyph array, the sorted table of codes, the count and the cell size, named after the file.</translation>
    </message>
    <message>
        <source>在 stdout 上输出一个 JSON 文档，供脚本读取。</source>
        <translation>Print one JSON document on stdout, for scripts.</translation>
    </message>
    <message>
        <source>PICTURE [--png OUT [--side-by-side]] [图片选项]</source>
        <translation>PICTURE [--png OUT [--side-by-side]] [image options]</translation>
    </message>
    <message>
        <source>按图片选项把 PICTURE 编译再读出，打印它在模块上与原图的误差，
并把模块显示的图片（或左右并排的原图与模块显示）写成 PNG 文件 OUT。</source>
        <translation>Compile PICTURE with the image options and read it back, print how far the
module shows it from the picture, and write what the module shows (or the
picture and the module's side by side) to the PNG file OUT.</translation>
    </message>
    <message>
        <source>把图片按给出的图片选项编译成模块的像素数据再读出，
打印与原图相比每个通道的最大误差和 PSNR。
退出状态：0 成功，1 图片无法读取或文件没有写成，2 参数错误。</source>
        <translation>Compiles the picture into the module's pixel data with the given image
options and reads it back, printing the largest error of each channel and
the PSNR against the picture.
Exit status: 0 success, 1 the picture could not be read or the file was not
written, 2 bad arguments.</translation>
    </message>
    <message>
        <source>图片文件。</source>
        <translation>The picture file.</translation>
    </message>
    <message>
        <source>把模块显示的图片写成 PNG 文件 OUT。</source>
        <translation>Write the picture as the module shows it to the PNG file OUT.</translation>
    </message>
    <message>
        <source>在 OUT 中左边放原图，右边放模块显示的图片。</source>
        <translation>Put the picture on the left of OUT and the module's on the right.</translation>
    </message>
    <message>
        <source>--side-by-side 写入 --png OUT；请同时给出 --png</source>
        <translation>--side-by-side writes into --png OUT; give --png as well</translation>
    </message>
</context>
<context>
    <name>compiler</name>
    <message>
        <source>第 %1 项</source>
        <translation>entry %1</translation>
    </message>
    <message>
        <source>没有图片资源！</source>
        <translation>No picture resources!</translation>
    </message>
    <message>
        <source>生成图片资源...</source>
        <translation>Generating picture resources...</translation>
    </message>
    <message>
        <source>生成图片资源成功！</source>
        <translation>Picture resources generated!</translation>
    </message>
    <message>
        <source>没有声音资源！</source>
        <translation>No sound resources!</translation>
    </message>
    <message>
        <source>生成声音资源...</source>
        <translation>Generating sound resources...</translation>
    </message>
    <message>
        <source>生成声音资源成功！</source>
        <translation>Sound resources generated!</translation>
    </message>
</context>
<context>
    <name>download</name>
    <message>
        <source>下载%1...</source>
        <translation>Downloading %1...</translation>
    </message>
    <message>
        <source>下载%1失败！</source>
        <translation>Downloading %1 failed!</translation>
    </message>
    <message>
        <source>下载%1成功！</source>
        <translation>Downloaded %1!</translation>
    </message>
    <message>
        <source>（文件为空，模块中原有内容未改变）</source>
        <translation>(the file is empty; the module keeps what it held)</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>图片索引</source>
        <translation>picture index</translation>
    </message>
    <message>
        <source>图片数据</source>
        <translation>picture data</translation>
    </message>
    <message>
        <source>声音索引</source>
        <translation>sound index</translation>
    </message>
    <message>
        <source>声音数据</source>
        <translation>sound data</translation>
    </message>
    <message>
        <source>结束</source>
        <translation>End</translation>
    </message>
    <message>
        <source>无法打开文件：</source>
        <translation>Cannot open file: </translation>
    </message>
    <message>
        <source>无法读取文件：</source>
        <translation>Cannot read file: </translation>
    </message>
    <message>
        <source>没有权限访问显示模块：请将 udev 规则 60-zentora-module.rules（见 packaging/）复制到 /etc/udev/rules.d/，执行 sudo udevadm control --reload-rules，再重新插拔模块</source>
        <translation>No permission to use the display module: copy the udev rule 60-zentora-module.rules (see packaging/) to /etc/udev/rules.d/, run sudo udevadm control --reload-rules, then unplug and replug the module</translation>
    </message>
    <message>
        <source>显示模块已断开连接</source>
        <translation>The display module was disconnected</translation>
    </message>
    <message>
        <source>显示模块正被其他程序使用</source>
        <translation>The display module is in use by another program</translation>
    </message>
    <message>
        <source>无法打开显示模块（USB 1514:5534）：%1</source>
        <translation>Cannot open the display module (USB 1514:5534): %1</translation>
    </message>
    <message>
        <source>无法打开显示模块（USB 1514:5534）</source>
        <translation>Cannot open the display module (USB 1514:5534)</translation>
    </message>
    <message>
        <source>显示模块应答错误：收到 %1，应为 %2</source>
        <translation>Wrong answer from the display module: got %1, expected %2</translation>
    </message>
    <message>
        <source>未找到显示模块（USB 1514:5534）</source>
        <translation>Display module not found (USB 1514:5534)</translation>
    </message>
    <message>
        <source>显示模块未打开</source>
        <translation>The display module is not open</translation>
    </message>
    <message>
        <source>显示模块没有接收数据</source>
        <translation>The display module took no data</translation>
    </message>
    <message>
        <source>显示模块 %1 秒内没有接收数据</source>
        <translation>The display module took no data within %1 seconds</translation>
    </message>
    <message>
        <source>向显示模块发送数据失败：</source>
        <translation>Sending data to the display module failed: </translation>
    </message>
    <message>
        <source>显示模块没有返回应答字节</source>
        <translation>The display module returned no answer byte</translation>
    </message>
    <message>
        <source>显示模块 %1 秒内没有应答</source>
        <translation>The display module did not answer within %1 seconds</translation>
    </message>
    <message>
        <source>读取显示模块的应答失败：</source>
        <translation>Reading the display module&apos;s answer failed: </translation>
    </message>
    <message>
        <source>编译失败，资源文件没有全部替换：下次编译或下载此文件夹时完成替换</source>
        <translation>Compiling failed; not all resource files were replaced: the next compile or download of this folder finishes the replacement</translation>
    </message>
    <message>
        <source>编译失败，文件夹中原有的资源文件保持不变</source>
        <translation>Compiling failed; the resource files already in the folder are unchanged</translation>
    </message>
</context>
<context>
    <name>font</name>
    <message>
        <source>不是字体文件</source>
        <translation>not a font file</translation>
    </message>
    <message>
        <source>字体文件已损坏，或其中没有这个字体</source>
        <translation>the font file is damaged or does not hold this face</translation>
    </message>
    <message>
        <source>字体不能按这个大小绘制</source>
        <translation>the font cannot be drawn at this size</translation>
    </message>
    <message>
        <source>没有可用的字体</source>
        <translation>No usable font</translation>
    </message>
    <message>
        <source>字模大小无效</source>
        <translation>invalid glyph size</translation>
    </message>
    <message>
        <source>操作失败，文件已被打开！</source>
        <translation>Operation failed: the file is open!</translation>
    </message>
    <message>
        <source>操作失败：</source>
        <translation>Operation failed: </translation>
    </message>
    <message>
        <source>没有打开的字库</source>
        <translation>No font library is open</translation>
    </message>
    <message>
        <source>字模超出字库范围</source>
        <translation>Glyph beyond the end of the font library</translation>
    </message>
    <message>
        <source>字库文件已被截短</source>
        <translation>The font library file was truncated</translation>
    </message>
    <message>
        <source>表格过高，请用 --rows 分段输出</source>
        <translation>The table is too tall; draw it in parts with --rows</translation>
    </message>
    <message>
        <source>内存不足</source>
        <translation>out of memory</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>字体缺少这些字符的字形：%1</source>
        <translation>The font has no glyphs for these characters: %1</translation>
    </message>
    <message>
        <source>无法读取文本文件：%1</source>
        <translation>Cannot read the text file: %1</translation>
    </message>
    <message>
        <source>不是 UTF-8 文本</source>
        <translation>not UTF-8 text</translation>
    </message>
    <message>
        <source>字符集 %1 中没有这些字符，未取模：%2</source>
        <translation>%1 has no codes for these characters; not modelled: %2</translation>
    </message>
    <message>
        <source>%1 等 %2 个</source>
        <translation>%1 and others, %2 in all</translation>
    </message>
    <message>
        <source>文件长度 %1 字节不是 %2×%3 字模的整数倍</source>
        <translation>The file length of %1 bytes is not a whole number of %2×%3 glyphs</translation>
    </message>
    <message>
        <source>%1；可用的字模尺寸：%2</source>
        <translation>%1; sizes that fit: %2</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>image</name>
    <message>
        <source>不是图片文件</source>
        <translation>not a picture</translation>
    </message>
    <message>
        <source>不支持的图片格式</source>
        <translation>unsupported picture format</translation>
    </message>
    <message>
        <source>图片太大，超出解码内存上限</source>
        <translation>too large for the decoder&apos;s memory limit</translation>
    </message>
    <message>
        <source>图片文件已损坏</source>
        <translation>the picture file is damaged</translation>
    </message>
    <message>
        <source>图片尺寸超出范围：</source>
        <translation>Picture size out of range: </translation>
    </message>
    <message>
        <source>不能导出到工程自己的文件：</source>
        <translation>Cannot export onto one of the project&apos;s own files: </translation>
    </message>
    <message>
        <source>无法读取图片：</source>
        <translation>Cannot read picture: </translation>
    </message>
    <message>
        <source>图片超过65536张：第65537张起编号从0重新开始</source>
        <translation>More than 65536 pictures: numbering starts again from 0 at picture 65537</translation>
    </message>
    <message>
        <source>图片数据超出0x07000000，进入声音数据区</source>
        <translation>The picture data runs past 0x07000000 into the sound data area</translation>
    </message>
</context>
<context>
    <name>inspect</name>
    <message>
        <source>无法写入文件：</source>
        <translation>Cannot write file: </translation>
    </message>
    <message>
        <source>无法读取 %1（%2）</source>
        <translation>Cannot read %1 (%2)</translation>
    </message>
    <message>
        <source>图片 %1  地址 %2</source>
        <translation>Picture %1  address %2</translation>
    </message>
    <message>
        <source>  空（编译时无法读取的图片）</source>
        <translation>  empty (a picture the compiler could not read)</translation>
    </message>
    <message>
        <source>  %1 × %2  %3 字节/像素  %4 字节</source>
        <translation>  %1 × %2  %3 bytes/pixel  %4 bytes</translation>
    </message>
    <message>
        <source>没有图片 %1</source>
        <translation>No picture %1</translation>
    </message>
    <message>
        <source> 列</source>
        <translation> col</translation>
    </message>
    <message>
        <source> 行</source>
        <translation> row</translation>
    </message>
    <message>
        <source>图片 %1 的每像素字节数不明</source>
        <translation>Picture %1: bytes per pixel unknown</translation>
    </message>
    <message>
        <source>内存不足</source>
        <translation>out of memory</translation>
    </message>
    <message>
        <source>16 位（RGB565）</source>
        <translation>16-bit (RGB565)</translation>
    </message>
    <message>
        <source>24 位（RGB）</source>
        <translation>24-bit (RGB)</translation>
    </message>
    <message>
        <source>图片 %1：%2 × %3，%4</source>
        <translation>Picture %1: %2 × %3, %4</translation>
    </message>
    <message>
        <source>LSB/MSB：低/高字节在前 (--msb-first)   →/←：行从左/从右扫描 (--row-right-to-left)</source>
        <translation>LSB/MSB: low/high byte first (--msb-first)   →/←: rows scanned from the left/right (--row-right-to-left)</translation>
    </message>
    <message>
        <source>↓/↑：列从上/从下扫描 (--column-bottom-to-top)   行/列：行优先/列优先 (--column-first)</source>
        <translation>↓/↑: columns scanned from the top/bottom (--column-bottom-to-top)   row/col: row/column first (--column-first)</translation>
    </message>
    <message>
        <source>图片 %1 没有可读的数据</source>
        <translation>Picture %1 has no readable data</translation>
    </message>
    <message>
        <source>图片 %1 的数据不够按此设置读出</source>
        <translation>Picture %1 has too little data to be read with these settings</translation>
    </message>
    <message>
        <source>PNG 编码失败：</source>
        <translation>PNG encoding failed: </translation>
    </message>
    <message>
        <source>PNG 编码失败：图片格式不对</source>
        <translation>PNG encoding failed: wrong picture format</translation>
    </message>
    <message>
        <source>%1：长度 %2 字节，不是 16 的倍数，末尾 %3 字节不成条目</source>
        <translation>%1: %2 bytes long, not a multiple of 16; the last %3 bytes make no entry</translation>
    </message>
    <message>
        <source>%1：地址 %2 在数据起点 %3 之前</source>
        <translation>%1: address %2 lies before the start of the data, %3</translation>
    </message>
    <message>
        <source>%1：数据（偏移 %2，长度 %3）超出 %4 的 %5 字节</source>
        <translation>%1: the data (offset %2, length %3) runs past the %5 bytes of %4</translation>
    </message>
    <message>
        <source>%1：末尾多出 %2 字节，没有条目指向它们</source>
        <translation>%1: %2 bytes at the end that no entry points to</translation>
    </message>
    <message>
        <source>图片 %1</source>
        <translation>Picture %1</translation>
    </message>
    <message>
        <source>%1：编号为 %2，应为 %3</source>
        <translation>%1: numbered %2, should be %3</translation>
    </message>
    <message>
        <source>%1：保留字节不为 0</source>
        <translation>%1: the reserved bytes are not 0</translation>
    </message>
    <message>
        <source>%1：数据长度 %2 不等于 宽 × 高（%3 × %4）× 2 或 × 3</source>
        <translation>%1: data length %2 is not width × height (%3 × %4) × 2 or × 3</translation>
    </message>
    <message>
        <source>%1：每像素 %2 字节，与前面的图片（%3 字节）不同</source>
        <translation>%1: %2 bytes per pixel, unlike the pictures before it (%3 bytes)</translation>
    </message>
    <message>
        <source>%1：地址 %2，应为 %3</source>
        <translation>%1: address %2, should be %3</translation>
    </message>
    <message>
        <source>声音 %1</source>
        <translation>Sound %1</translation>
    </message>
    <message>
        <source>%1：地址 %2 不是 2048 的倍数</source>
        <translation>%1: address %2 is not a multiple of 2048</translation>
    </message>
    <message>
        <source>wave.bin：最后一段声音后少了 %1 字节填充</source>
        <translation>wave.bin: %1 bytes of padding missing after the last sound</translation>
    </message>
    <message>
        <source>图片 %1 起：数据越过 %2，与声音数据重叠</source>
        <translation>From picture %1 on: the data runs past %2 into the sound data</translation>
    </message>
    <message>
        <source>%1：不是普通文件</source>
        <translation>%1: not a regular file</translation>
    </message>
    <message>
        <source>%1：无法读取（%2）</source>
        <translation>%1: cannot be read (%2)</translation>
    </message>
    <message>
        <source>文件夹不存在：</source>
        <translation>Folder does not exist: </translation>
    </message>
    <message>
        <source>不是文件夹：</source>
        <translation>Not a folder: </translation>
    </message>
    <message>
        <source>资源文件不是同一次编译的结果：上次替换没有完成（下次编译或下载此文件夹时完成）</source>
        <translation>The resource files are not from one compile: the last replacement did not finish (the next compile or download of this folder finishes it)</translation>
    </message>
    <message>
        <source>文件夹中没有资源文件（image.idx、image.bin、wave.idx、wave.bin），没有可检查的内容</source>
        <translation>The folder holds no resource files (image.idx, image.bin, wave.idx, wave.bin); there is nothing to inspect</translation>
    </message>
    <message>
        <source>声音 %1 没有可读的数据</source>
        <translation>Sound %1 has no readable data</translation>
    </message>
    <message>
        <source>资源文件是 %1 位色彩，与所选的 %2 位不同；按文件的 %1 位显示</source>
        <translation>The resource files are %1-bit colour, not the chosen %2-bit; shown at the files&apos; %1 bits</translation>
    </message>
    <message>
        <source>声音 %1  地址 %2  %3  %4 位  %5 Hz  %6 字节  %7 秒</source>
        <translation>Sound %1  address %2  %3  %4 bits  %5 Hz  %6 bytes  %7 s</translation>
    </message>
    <message numerus="yes">
        <source>%n 声道</source>
        <translation>
            <numerusform>%n channel</numerusform>
            <numerusform>%n channels</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>language</name>
    <message>
        <source>--lang 只接受 zh 或 en，而不是“%1”</source>
        <translation>--lang takes zh or en, not &apos;%1&apos;</translation>
    </message>
</context>
<context>
    <name>preview</name>
    <message>
        <source>无法读取图片：</source>
        <translation>Cannot read picture: </translation>
    </message>
    <message>
        <source>图片尺寸超出范围：%1 × %2</source>
        <translation>Picture size out of range: %1 × %2</translation>
    </message>
    <message>
        <source>与原图完全相同 · PSNR ∞</source>
        <translation>Identical to the picture · PSNR ∞</translation>
    </message>
    <message>
        <source>最大误差 R %1 G %2 B %3 · PSNR %4 dB</source>
        <translation>Largest error R %1 G %2 B %3 · PSNR %4 dB</translation>
    </message>
    <message>
        <source>透明部分在模块上显示为蓝色</source>
        <translation>Transparent parts show as blue on the module</translation>
    </message>
    <message>
        <source>无法写入文件：</source>
        <translation>Cannot write file: </translation>
    </message>
</context>
<context>
    <name>project</name>
    <message>
        <source>文件名含有“\”，无法加入工程：</source>
        <translation>The file name contains &quot;\&quot; and cannot be added to the project: </translation>
    </message>
    <message>
        <source>文件名含有控制字符，无法加入工程：</source>
        <translation>The file name contains control characters and cannot be added to the project: </translation>
    </message>
    <message>
        <source>文件名不是有效的 UTF-8 文本，无法加入工程：</source>
        <translation>The file name is not valid UTF-8 text and cannot be added to the project: </translation>
    </message>
    <message>
        <source>复制文件失败：</source>
        <translation>Copying file failed: </translation>
    </message>
    <message>
        <source>复制文件 %1 到 %2（%3）</source>
        <translation>Copying file %1 to %2 (%3)</translation>
    </message>
    <message>
        <source>创建工程文件夹 %1</source>
        <translation>Creating project folder %1</translation>
    </message>
    <message>
        <source>写入工程文件 %1（%2）</source>
        <translation>Writing project file %1 (%2)</translation>
    </message>
    <message>
        <source>保存工程失败：</source>
        <translation>Saving the project failed: </translation>
    </message>
    <message>
        <source>文件过大</source>
        <translation>file too large</translation>
    </message>
    <message>
        <source>内存不足</source>
        <translation>out of memory</translation>
    </message>
    <message>
        <source>不是有效的工程文件</source>
        <translation>not a valid project file</translation>
    </message>
    <message>
        <source>（第 %1 行：%2）</source>
        <translation> (line %1: %2)</translation>
    </message>
    <message>
        <source>内部错误：模板缺少元素</source>
        <translation>internal error: the template lacks an element</translation>
    </message>
    <message>
        <source>文件名含有无法保存的字符：</source>
        <translation>The file name holds characters that cannot be saved: </translation>
    </message>
</context>
<context>
    <name>sound</name>
    <message>
        <source>单声道</source>
        <translation>mono</translation>
    </message>
    <message>
        <source>立体声</source>
        <translation>stereo</translation>
    </message>
    <message numerus="yes">
        <source>%n 声道</source>
        <translation>
            <numerusform>%n channel</numerusform>
            <numerusform>%n channels</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 · %2 位 · %3 · %4 Hz</source>
        <translation>%1 · %2-bit · %3 · %4 Hz</translation>
    </message>
    <message>
        <source>无法读取</source>
        <translation>Unreadable</translation>
    </message>
    <message>
        <source>块多于 %1 个</source>
        <translation>more than %1 chunks</translation>
    </message>
    <message>
        <source>不是 WAV 文件</source>
        <translation>not a WAV file</translation>
    </message>
    <message>
        <source>不是 PCM 格式</source>
        <translation>not in PCM format</translation>
    </message>
    <message>
        <source>PCM 格式参数无效</source>
        <translation>invalid PCM format parameters</translation>
    </message>
    <message>
        <source>声音数据过长</source>
        <translation>sound data too long</translation>
    </message>
    <message>
        <source>内存不足</source>
        <translation>out of memory</translation>
    </message>
    <message>
        <source>读取文件失败</source>
        <translation>reading the file failed</translation>
    </message>
    <message>
        <source>无法读取声音：</source>
        <translation>Cannot read sound: </translation>
    </message>
    <message>
        <source>其后的声音编号依次前移</source>
        <translation>The sounds after it move up one number each</translation>
    </message>
    <message>
        <source>声音超过256个：第257个起编号从0重新开始</source>
        <translation>More than 256 sounds: numbering starts again from 0 at sound 257</translation>
    </message>
    <message>
        <source>偏移 %1 处的块声明 %2 字节，超出文件末尾</source>
        <translation>the chunk at offset %1 declares %2 bytes, past the end of the file</translation>
    </message>
    <message>
        <source>文件在偏移 %1 处的块头中间结束</source>
        <translation>the file ends inside the chunk header at offset %1</translation>
    </message>
    <message>
        <source>文件中没有 data 块</source>
        <translation>the file has no data chunk</translation>
    </message>
    <message>
        <source>data 块声明 %1 字节，文件中只有 %2 字节</source>
        <translation>the data chunk declares %1 bytes, the file holds %2</translation>
    </message>
    <message>
        <source>声道数超过 255</source>
        <translation>more than 255 channels</translation>
    </message>
    <message>
        <source>声音数据超出32位地址范围（0xFFFFFFFF）：%1</source>
        <translation>Sound data runs past the 32-bit address range (0xFFFFFFFF): %1</translation>
    </message>
    <message>
        <source>声音数据不完整：</source>
        <translation>Sound data incomplete: </translation>
    </message>
</context>
<context>
    <name>ui</name>
    <message>
        <source>文件或文件夹不存在</source>
        <translation>no such file or folder</translation>
    </message>
    <message>
        <source>系统中没有登记可打开它的程序</source>
        <translation>no program is registered to open it</translation>
    </message>
    <message>
        <source>打开它的程序失败（退出码 %1）</source>
        <translation>the program that opens it failed (exit code %1)</translation>
    </message>
    <message>
        <source>无法启动 xdg-open</source>
        <translation>xdg-open cannot be started</translation>
    </message>
    <message>
        <source>xdg-open 意外终止</source>
        <translation>xdg-open ended unexpectedly</translation>
    </message>
    <message>
        <source>无法启动图片编辑器 %1</source>
        <translation>the picture editor %1 cannot be started</translation>
    </message>
</context>
<context>
    <name>zentora::CAboutDlg</name>
    <message>
        <source>关于 Zentora助手</source>
        <translation>About Zentora助手</translation>
    </message>
    <message>
        <source>Copyright (C) Morvane科技</source>
        <translation>Copyright (C) Morvane Technology</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Zentora助手 Version %1</source>
        <translation>Zentora助手 Version %1</translation>
    </message>
</context>
<context>
    <name>zentora::CAdjustImageDlg</name>
    <message>
        <source>调整大小</source>
        <translation>Resize</translation>
    </message>
    <message>
        <source>重新调整大小</source>
        <translation>Resize</translation>
    </message>
    <message>
        <source>方式(&amp;T):</source>
        <translation>Me&amp;thod:</translation>
    </message>
    <message>
        <source>裁剪</source>
        <translation>Crop</translation>
    </message>
    <message>
        <source>伸缩</source>
        <translation>Scale</translation>
    </message>
    <message>
        <source>水平(&amp;H):</source>
        <translation>&amp;Width:</translation>
    </message>
    <message>
        <source>垂直(&amp;V):</source>
        <translation>&amp;Height:</translation>
    </message>
    <message>
        <source>保持纵横比(&amp;M)</source>
        <translation>&amp;Keep aspect ratio</translation>
    </message>
    <message>
        <source>转换所有图片(&amp;A)</source>
        <translation>Convert &amp;all pictures</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>zentora::CDownloadDlg</name>
    <message>
        <source>下载资源</source>
        <translation>Download Resources</translation>
    </message>
    <message>
        <source>资源路径：</source>
        <translation>Folder:</translation>
    </message>
    <message>
        <source>浏览...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>开始下载</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>目录不存在！</source>
        <translation>Folder does not exist! </translation>
    </message>
</context>
<context>
    <name>zentora::CFontExplorerDlg</name>
    <message>
        <source>字库查看</source>
        <translation>Font Library Viewer</translation>
    </message>
    <message>
        <source>打开字库...</source>
        <translation>Open...</translation>
    </message>
    <message>
        <source>关闭字库</source>
        <translation>Close Library</translation>
    </message>
    <message>
        <source>字模宽度</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>字模高度</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>横向取模</source>
        <translation>Horizontal</translation>
    </message>
    <message>
        <source>纵向取模</source>
        <translation>Vertical</translation>
    </message>
    <message>
        <source>从bit7到bit0存放字节</source>
        <translation>Bytes from bit7 to bit0</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>打开字库</source>
        <translation>Open Font Library</translation>
    </message>
    <message>
        <source>字库</source>
        <translation>font</translation>
    </message>
    <message>
        <source>字库(*.bin)</source>
        <translation>Font libraries (*.bin)</translation>
    </message>
</context>
<context>
    <name>zentora::CFontTempDlg</name>
    <message>
        <source>字库取模</source>
        <translation>Glyph Modelling</translation>
    </message>
    <message>
        <source>字模设置</source>
        <translation>Glyph settings</translation>
    </message>
    <message>
        <source>字体类型</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>字体大小</source>
        <translation>Font size</translation>
    </message>
    <message>
        <source>字  符  集</source>
        <translation>Charset</translation>
    </message>
    <message>
        <source>字模大小</source>
        <translation>Glyph size</translation>
    </message>
    <message>
        <source>取模方式</source>
        <translation>Byte layout</translation>
    </message>
    <message>
        <source>横向取模</source>
        <translation>Horizontal</translation>
    </message>
    <message>
        <source>纵向取模</source>
        <translation>Vertical</translation>
    </message>
    <message>
        <source>从bit7到bit0存放字节</source>
        <translation>Bytes from bit7 to bit0</translation>
    </message>
    <message>
        <source>生成字库...</source>
        <translation>Generate font library...</translation>
    </message>
    <message>
        <source>生成字模</source>
        <translation>Generate</translation>
    </message>
    <message>
        <source>复制字模</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>从文件读入...</source>
        <translation>Read from file...</translation>
    </message>
    <message>
        <source>从文件读入</source>
        <translation>Read Characters from File</translation>
    </message>
    <message>
        <source>文本文件(*.txt);;所有文件(*)</source>
        <translation>Text files (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>字库正在生成，请等它完成后再试！</source>
        <translation>A font library is being generated; try again when it is done!</translation>
    </message>
    <message>
        <source>生成字库</source>
        <translation>Generate Font Library</translation>
    </message>
    <message>
        <source>字库</source>
        <translation>font</translation>
    </message>
    <message>
        <source>字库(*.bin)</source>
        <translation>Font libraries (*.bin)</translation>
    </message>
    <message>
        <source>在此输入文字</source>
        <translation>Type text here</translation>
    </message>
    <message>
        <source>单色点阵</source>
        <translation>Monochrome</translation>
    </message>
    <message>
        <source>字号大于字模尺寸，字形会被裁切</source>
        <translation>Size exceeds cell: glyphs clipped</translation>
    </message>
    <message>
        <source>字模数组与当前设置不符，请重新生成</source>
        <translation>The array does not match the settings; generate it again</translation>
    </message>
    <message>
        <source>字库已生成：%1</source>
        <translation>Font library written: %1</translation>
    </message>
</context>
<context>
    <name>zentora::CImageGallery</name>
    <message>
        <source>未找到文件</source>
        <translation>File not found</translation>
    </message>
</context>
<context>
    <name>zentora::CInspectDlg</name>
    <message>
        <source>资源查看</source>
        <translation>Resource Viewer</translation>
    </message>
    <message>
        <source>资源文件夹：</source>
        <translation>Folder:</translation>
    </message>
    <message>
        <source>浏览...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>图片（双击查看原大与 16 种设置）：</source>
        <translation>Pictures (double-click: full size and the 16 settings):</translation>
    </message>
    <message>
        <source>声音：</source>
        <translation>Sounds:</translation>
    </message>
    <message>
        <source>检查结果：</source>
        <translation>Findings:</translation>
    </message>
    <message>
        <source>目录不存在！</source>
        <translation>Folder does not exist! </translation>
    </message>
    <message>
        <source>图片 %1</source>
        <translation>Picture %1</translation>
    </message>
    <message>
        <source> 空</source>
        <translation> empty</translation>
    </message>
    <message>
        <source>未发现问题</source>
        <translation>No findings</translation>
    </message>
</context>
<context>
    <name>zentora::COutputList</name>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>全部复制</source>
        <translation>Copy All</translation>
    </message>
</context>
<context>
    <name>zentora::CModulePreviewDlg</name>
    <message>
        <source>模块效果预览</source>
        <translation>Module Preview</translation>
    </message>
    <message>
        <source>缩放(&amp;Z)：</source>
        <translation>&amp;Zoom:</translation>
    </message>
    <message>
        <source>%1 ×</source>
        <translation>%1 ×</translation>
    </message>
    <message>
        <source>原图（画在蓝色背景上）</source>
        <translation>Picture (drawn on the blue background)</translation>
    </message>
    <message>
        <source>模块显示</source>
        <translation>On the module</translation>
    </message>
    <message>
        <source>未选中图片</source>
        <translation>No picture selected</translation>
    </message>
    <message>
        <source>图片：%1</source>
        <translation>Picture: %1</translation>
    </message>
    <message>
        <source>%1 × %2 像素</source>
        <translation>%1 × %2 pixels</translation>
    </message>
</context>
<context>
    <name>zentora::CProjectPathDlg</name>
    <message>
        <source>保存工程</source>
        <translation>Save Project</translation>
    </message>
    <message>
        <source>工程名称：</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>工程位置：</source>
        <translation>Location:</translation>
    </message>
    <message>
        <source>浏览...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>无法创建文件夹：%1</source>
        <translation>Cannot create the folder: %1</translation>
    </message>
</context>
<context>
    <name>zentora::CZentoraDlg</name>
    <message>
        <source>正在下载，现在退出会使模块中的资源不完整。是否等待完成后退出？</source>
        <translation>A download is running. Quitting now leaves the resources in the module incomplete. Wait until it has finished and quit then?</translation>
    </message>
    <message>
        <source>正在编译下载，现在退出会使模块中的资源不完整。是否等待完成后退出？</source>
        <translation>Compiling and downloading. Quitting now leaves the resources in the module incomplete. Wait until it has finished and quit then?</translation>
    </message>
    <message>
        <source>完成后退出…（再次关闭窗口可改变选择）</source>
        <translation>Quitting when finished… (close the window again to change this)</translation>
    </message>
    <message>
        <source>无法打开工程：%1</source>
        <translation>Cannot open the project: %1</translation>
    </message>
    <message>
        <source>图片资源</source>
        <translation>Pictures</translation>
    </message>
    <message>
        <source>声音资源</source>
        <translation>Sounds</translation>
    </message>
    <message>
        <source>Morvane科技</source>
        <translation>Morvane Technology</translation>
    </message>
    <message>
        <source>图像设置</source>
        <translation>Picture settings</translation>
    </message>
    <message>
        <source>16位(RGB565)</source>
        <translation>RGB565 (16)</translation>
    </message>
    <message>
        <source>24位(RGB)</source>
        <translation>RGB (24)</translation>
    </message>
    <message>
        <source>色彩深度</source>
        <translation>Depth</translation>
    </message>
    <message>
        <source>抖动</source>
        <translation>Dither</translation>
    </message>
    <message>
        <source>不抖动</source>
        <translation>None</translation>
    </message>
    <message>
        <source>有序抖动</source>
        <translation>Ordered</translation>
    </message>
    <message>
        <source>误差扩散</source>
        <translation>Diffusion</translation>
    </message>
    <message>
        <source>高字节在前    MSB</source>
        <translation>MSB first</translation>
    </message>
    <message>
        <source>行从右至左扫描 ←</source>
        <translation>Rows leftward ←</translation>
    </message>
    <message>
        <source>列从下至上扫描 ↑</source>
        <translation>Columns upward ↑</translation>
    </message>
    <message>
        <source>列优先扫描    |||</source>
        <translation>Columns first  |||</translation>
    </message>
    <message>
        <source>输出信息</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>文档被修改，是否保存？</source>
        <translation>The project has changed. Save it?</translation>
    </message>
    <message>
        <source>打开工程</source>
        <translation>Open Project</translation>
    </message>
    <message>
        <source>工程文件(*.zentoraprj)</source>
        <translation>Project files (*.zentoraprj)</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>图片(&amp;E)</source>
        <translation>&amp;Pictures</translation>
    </message>
    <message>
        <source>声音(&amp;W)</source>
        <translation>&amp;Sounds</translation>
    </message>
    <message>
        <source>字库(&amp;T)</source>
        <translation>Fon&amp;ts</translation>
    </message>
    <message>
        <source>下载(&amp;D)</source>
        <translation>&amp;Download</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>保存工程(&amp;S)</source>
        <translation>&amp;Save Project</translation>
    </message>
    <message>
        <source>打开工作目录(&amp;W)...</source>
        <translation>Open &amp;Working Folder...</translation>
    </message>
    <message>
        <source>退出(&amp;Q)</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>添加图片(&amp;A)</source>
        <translation>&amp;Add Pictures</translation>
    </message>
    <message>
        <source>导出图片(&amp;X)</source>
        <translation>E&amp;xport Pictures</translation>
    </message>
    <message>
        <source>预览图片(&amp;V)</source>
        <translation>Pre&amp;view Picture</translation>
    </message>
    <message>
        <source>编辑图片(&amp;E)</source>
        <translation>&amp;Edit Picture</translation>
    </message>
    <message>
        <source>调整图片(&amp;J)...</source>
        <translation>Ad&amp;just Pictures...</translation>
    </message>
    <message>
        <source>删除选中图片(&amp;D)</source>
        <translation>&amp;Delete Selected Picture</translation>
    </message>
    <message>
        <source>删除所有图片(&amp;L)</source>
        <translation>Delete A&amp;ll Pictures</translation>
    </message>
    <message>
        <source>添加声音(&amp;U)</source>
        <translation>Add So&amp;unds</translation>
    </message>
    <message>
        <source>删除选中声音(&amp;D)</source>
        <translation>&amp;Delete Selected Sound</translation>
    </message>
    <message>
        <source>删除所有声音(&amp;L)</source>
        <translation>Delete A&amp;ll Sounds</translation>
    </message>
    <message>
        <source>字库取模(&amp;G)...</source>
        <translation>&amp;Glyph Modelling...</translation>
    </message>
    <message>
        <source>字库查看(&amp;V)...</source>
        <translation>Font Library &amp;Viewer...</translation>
    </message>
    <message>
        <source>编译下载(&amp;C)</source>
        <translation>&amp;Compile &amp;&amp; Download</translation>
    </message>
    <message>
        <source>下载资源文件(&amp;D)...</source>
        <translation>&amp;Download Resource Files...</translation>
    </message>
    <message>
        <source>关于 Zentora助手(&amp;A)</source>
        <translation>&amp;About Zentora助手</translation>
    </message>
    <message>
        <source>关于 Morvane科技(&amp;M)</source>
        <translation>About &amp;Morvane Technology</translation>
    </message>
    <message>
        <source>资源查看(&amp;R)...</source>
        <translation>&amp;Resource Viewer...</translation>
    </message>
    <message>
        <source>新建工程(&amp;N)</source>
        <translation>&amp;New Project</translation>
    </message>
    <message>
        <source>打开工程(&amp;O)</source>
        <translation>&amp;Open Project</translation>
    </message>
    <message>
        <source>工程另存为(&amp;A)...</source>
        <translation>Save Project &amp;As...</translation>
    </message>
    <message>
        <source>工程已保存：%1</source>
        <translation>Project saved: %1</translation>
    </message>
    <message>
        <source>无法打开工作目录：%1</source>
        <translation>Cannot open the working folder: %1</translation>
    </message>
    <message>
        <source>无法预览图片：%1</source>
        <translation>Cannot preview the picture: %1</translation>
    </message>
    <message>
        <source>无法编辑图片：%1</source>
        <translation>Cannot edit the picture: %1</translation>
    </message>
    <message>
        <source>无法打开网页：%1</source>
        <translation>Cannot open the web page: %1</translation>
    </message>
    <message>
        <source>模块效果预览(&amp;M)...</source>
        <translation>&amp;Module Preview...</translation>
    </message>
</context>
</TS>
