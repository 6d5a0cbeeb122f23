"""Writes the seed inputs of tests/fuzz/archive_fuzz.cpp and tests/fuzz/lzss_fuzz.cpp and the
archive fuzzer's dictionary. Run from the repository root: python3 tests/fuzz/make_seeds.py"""
import struct, os
names=["mapc010.tga","mapc011.tga","mapc013.tga","mapc020.tga","mapc030.tga","mapc031.tga","mapc040.tga","mapc050.tga","mapc059.tga","mapc060.tga","mapc070.tg2","mapc072.tga","mapc080.tga","mapc081.tga","mapc090.tga","mapc140.tga"]
def literal_stream(b):
    out=bytearray()
    for i in range(0,len(b),8):
        chunk=b[i:i+8]; out.append((1<<len(chunk))-1); out+=chunk
    return bytes(out)
def grp(entries,count=None):
    d=b"";data=b"";start=8+36*len(entries)
    for name,payload,packed in entries:
        d+=struct.pack("<I",packed)+name.encode().ljust(24,b"\0")[:24]+struct.pack("<Ii",start+len(data),len(payload)); data+=payload
    return b"GRP0"+struct.pack("<i",len(entries) if count is None else count)+d+data
def voice(entries,count=None):
    d=b"";data=b"";start=8+40*len(entries)
    for name,payload in entries:
        d+=bytes(255-c for c in name.encode()).ljust(32,b"\0")[:32]+struct.pack("<iI",len(payload),start+len(data)); data+=payload
    return b"VOI0"+struct.pack("<i",len(entries) if count is None else count)+d+data
def packed(content):
    return b"\0\0\0\0"+struct.pack("<i",len(content))+literal_stream(content)
D="tests/fuzz/archive_corpus/"
open(D+"images_unpacked","wb").write(bytes([0xFC])+grp([(n,b"sheet "+n.encode(),0) for n in names]))
open(D+"images_packed","wb").write(bytes([0xFC])+grp([(n,packed(b"sheet "+n.encode()),1) for n in names]))
open(D+"images_overlap_pair","wb").write(bytes([0])+grp([("mapc010.tga",b"\0\0\0\0\x05\0\0\0\x03\x61\x62\xee\xf0",1)]))
open(D+"images_dupes_sizes","wb").write(bytes([4])+grp([("mapc011.tga",b"",0),("MAPC011.TGA",b"x",0),("mapc011.tga",b"first",0),("mapc011.tga",b"second",0)]))
clip="V000000012_000001.OGG"
open(D+"voice_variant","wb").write(bytes([3])+voice([(clip.lower(),b"OggS clip"),("V000000012_000001A.OGG",b"OggS variant"),(clip,b"OggS last")]))
open(D+"voice_retry","wb").write(bytes([1])+voice([("V000000000_000001.OGG",b"OggS retry")]))
open(D+"voice_small","wb").write(bytes([9])+voice([("v.ogg",b"OggS"),("vA.ogg",b"OggS")]))
L="tests/fuzz/lzss_corpus/"
open(L+"overlap","wb").write(b"\0\0\0\0"+bytes([0x03,0x61,0x62,0xee,0xf0]))
open(L+"spaces","wb").write(b"\1\0\0\0"+bytes([0,0,0]))
open(L+"tail","wb").write(b"\2\0\0\0"+bytes([0x00,0xee,0xf0,0xfd,0xf0,0x00,0x12]))
open(L+"literals","wb").write(b"\3\0\0\0"+literal_stream(bytes(range(200))))
with open("tests/fuzz/archive.dict","w") as f:
    f.write("# libFuzzer dictionary for tests/fuzz/archive_fuzz.cpp: the names the scans look for.\n")
    for n in names: f.write('"%s"\n' % n)
    for n in [clip,"V000000012_000001A.OGG","V000000000_000001.OGG","v.ogg","vA.ogg","clip","clipA"]:
        f.write('"%s"\n' % "".join("\\x%02X" % (255-c) for c in n.encode()))
