"""Reads the streams of a compound file (the container format of an MSI
installer), held whole in a bytearray, and patches their bytes in place: finds
where a named stream lies, reads it, and writes it back at the same length. It does not add, remove,
rename or resize a stream, and refuses files with an extended sector table
(over 109 sectors of allocation table, some 7 MB with 512-byte sectors)."""
import struct


class CompoundFile:
    """The streams of a compound file (the container of an MSI), read and
    patched in place: enough to overwrite bytes of a stream, never to resize it."""

    FREE_OR_END = 0xFFFFFFFA  # sector numbers from here on mark ends and special sectors

    def __init__(self, data):
        if data[:8] != bytes.fromhex("D0CF11E0A1B11AE1"):
            raise ValueError("not a compound file")
        self.data = data
        self.sector_size = 1 << self._u16(0x1E)
        self.mini_size = 1 << self._u16(0x20)
        self.cutoff = self._u32(0x38)
        if self._u32(0x48):
            raise ValueError("compound files with an extended sector table are not supported")
        fat_sectors = [s for s in struct.unpack_from("<109I", data, 0x4C) if s < self.FREE_OR_END]
        self.fat = [n for s in fat_sectors for n in self._sector_u32s(s)]
        directory = b"".join(self._sector(s) for s in self._chain(self.fat, self._u32(0x30)))
        self.entries = [directory[k:k + 128] for k in range(0, len(directory), 128)]
        minifat_start = self._u32(0x3C)
        self.minifat = [] if minifat_start >= self.FREE_OR_END else \
            [n for s in self._chain(self.fat, minifat_start) for n in self._sector_u32s(s)]
        self.ministream = self._chain(self.fat, struct.unpack_from("<I", self.entries[0], 0x74)[0])

    def _u16(self, offset):
        return struct.unpack_from("<H", self.data, offset)[0]

    def _u32(self, offset):
        return struct.unpack_from("<I", self.data, offset)[0]

    def _offset(self, sector):
        return (sector + 1) * self.sector_size

    def _sector(self, sector):
        return self.data[self._offset(sector):self._offset(sector) + self.sector_size]

    def _sector_u32s(self, sector):
        return struct.unpack(f"<{self.sector_size // 4}I", self._sector(sector))

    def _chain(self, table, start):
        chain = []
        while start < self.FREE_OR_END:
            if start >= len(table) or len(chain) > len(table):
                raise ValueError("broken sector chain")
            chain.append(start)
            start = table[start]
        return chain

    def extents(self, name):
        """The (file offset, length) pieces that hold the stream NAME, in order."""
        for entry in self.entries:
            length = struct.unpack_from("<H", entry, 0x40)[0]
            if entry[0x42] == 2 and entry[:max(length - 2, 0)].decode("utf-16-le") == name:
                start, size = struct.unpack_from("<II", entry, 0x74)
                break
        else:
            raise KeyError(f"no stream {name!r}")
        pieces = []
        if size < self.cutoff:
            for mini in self._chain(self.minifat, start):
                position = mini * self.mini_size
                sector = self.ministream[position // self.sector_size]
                pieces.append((self._offset(sector) + position % self.sector_size, self.mini_size))
        else:
            pieces = [(self._offset(sector), self.sector_size) for sector in self._chain(self.fat, start)]
        extents, left = [], size
        for offset, length in pieces:
            extents.append((offset, min(length, left)))
            left -= extents[-1][1]
        return extents

    def read(self, extents):
        return b"".join(self.data[offset:offset + length] for offset, length in extents)

    def write(self, extents, stream):
        position = 0
        for offset, length in extents:
            self.data[offset:offset + length] = stream[position:position + length]
            position += length
