"""The program's data files read by pyGIMLi, and pyGIMLi's files read by the
program: the same electrodes and configurations, and the values in pyGIMLi's
units (rhoa ohm-m, k m, ip mV/V). Guards against a column that means one
thing in the program and another in pyGIMLi."""

import csv
import os
import struct
import unittest

import numpy as np
import pygimli as pg
from pygimli.physics import ert

import program

ARGUMENTS = None


def section(name):
    return os.path.join(ARGUMENTS.data, name + ".sec")


def example():
    return os.path.join(ARGUMENTS.examples, "example.sec")


def table_column(path, name):
    with open(path, encoding="utf-8", newline="") as file:
        return [float(row[name]) for row in csv.DictReader(file)]


class ProgramFilesInPyGimli(unittest.TestCase):
    """What pyGIMLi's readers (ert.load and pg.load) take from the program's file."""

    def setUp(self):
        self.folder = program.scratch_folder()

    def tearDown(self):
        self.folder.cleanup()

    def write(self, section_file, *options):
        out = os.path.join(self.folder.name, "data.dat")
        ours = program.forward(ARGUMENTS.program, out, section_file, *options)
        table = os.path.join(self.folder.name, "data.csv")
        program.run(ARGUMENTS.program, "--forward", table, section_file, *options)
        return out, ours, table

    def assert_read_alike(self, path, ours, flat=True):
        for reader in (ert.load, pg.load):
            data = reader(path)
            positions = np.array(data.sensorPositions())
            self.assertEqual(len(positions), len(ours.electrodes))
            # pyGIMLi keeps positions to 1e-12 m. The file's z (the elevation) is pyGIMLi's z; its
            # 2-D modelling takes it as the height.
            np.testing.assert_allclose(positions[:, 0], [x for x, _ in ours.electrodes], rtol=0, atol=1e-9)
            np.testing.assert_array_equal(positions[:, 1], 0.0)
            np.testing.assert_allclose(positions[:, 2], [z for _, z in ours.electrodes], rtol=0, atol=1e-9)
            self.assertEqual(data.size(), len(ours))
            for name in ("a", "b", "m", "n"):
                # pyGIMLi numbers the electrodes from 0, a pole -1; the file from 1, a pole 0.
                np.testing.assert_array_equal(np.array(data[name]) + 1, ours.columns[name], err_msg=name)
            for name in ("k", "rhoa"):
                np.testing.assert_allclose(data[name], ours.columns[name], rtol=1e-15, err_msg=name)
            np.testing.assert_array_equal(data["valid"], 1)
            if flat:
                # pyGIMLi's own geometric factors: the configurations mean the same electrodes.
                np.testing.assert_allclose(ert.createGeometricFactors(data), ours.columns["k"], rtol=1e-9)
        return data

    def test_chargeability_reads_as_mv_per_v(self):
        out, ours, table = self.write(example(), "--host-resistivity", "100", "--array", "dipole-dipole",
                                      "--electrodes", "24", "--levels", "4")
        self.assertIn("mV/V", ours.comment)
        data = self.assert_read_alike(out, ours)
        # 1 % is 10 mV/V: pyGIMLi's ip is ten times the table's chargeability in per cent.
        np.testing.assert_allclose(data["ip"], ours.columns["ip"], rtol=1e-15)
        np.testing.assert_allclose(data["ip"], 10 * np.array(table_column(table, "ip_percent")), rtol=1e-14)
        self.assertGreater(max(data["ip"]), 10.0)  # at least 1 %: per cent read as mV/V would show

    def test_without_chargeability_no_ip(self):
        out, ours, _ = self.write(section("plain-block"), "--array", "wenner", "--electrodes", "16", "--levels", "3")
        data = self.assert_read_alike(out, ours)
        self.assertFalse(data.haveData("ip"))
        self.assertNotIn("ip", ours.columns)

    def test_pole_dipole_scheme(self):
        scheme = os.path.join(self.folder.name, "pd.shm")
        ert.createData(elecs=np.linspace(30, 370, 12), schemeName="pd").save(scheme)
        out, ours, _ = self.write(section("plain-block"), "--scheme", scheme)
        data = self.assert_read_alike(out, ours)
        np.testing.assert_array_equal(data["b"], -1)  # the pole at infinity

    def test_relief(self):
        out, ours, table = self.write(section("relief-outcrop"), "--array", "schlumberger", "--electrodes", "20",
                                      "--levels", "3")
        self.assertGreater(np.ptp([z for _, z in ours.electrodes]), 30.0)
        data = self.assert_read_alike(out, ours, flat=False)
        np.testing.assert_allclose(data["ip"], 10 * np.array(table_column(table, "ip_percent")), rtol=1e-14)


class PyGimliFilesInProgram(unittest.TestCase):
    """Schemes and data pyGIMLi writes, read by the program with --scheme:
    its data file holds the same electrodes and configurations."""

    def setUp(self):
        self.folder = program.scratch_folder()

    def tearDown(self):
        self.folder.cleanup()

    def read_back(self, scheme, section_file):
        path = os.path.join(self.folder.name, "scheme.dat")
        scheme.save(path)
        ours = program.forward(ARGUMENTS.program, os.path.join(self.folder.name, "out.dat"), section_file,
                               "--scheme", path)
        return pg.load(path), ours

    def assert_same_survey(self, theirs, ours, elevation=None):
        positions = np.array(theirs.sensorPositions())
        np.testing.assert_allclose([x for x, _ in ours.electrodes], positions[:, 0], rtol=0, atol=1e-9)
        # pyGIMLi writes a 2-D survey's heights as y; the program stands the electrodes on its surface.
        heights = positions[:, 1] if elevation is None else elevation
        np.testing.assert_allclose([z for _, z in ours.electrodes], heights, rtol=1e-12, atol=1e-9)
        self.assertEqual(len(ours), theirs.size())
        for name in ("a", "b", "m", "n"):
            np.testing.assert_array_equal(ours.columns[name], np.array(theirs[name]) + 1, err_msg=name)

    def test_schemes_of_every_array(self):
        for name in ("dd", "wa", "slm", "pd", "pp"):
            with self.subTest(scheme=name):
                scheme = ert.createData(elecs=np.linspace(20, 380, 13), schemeName=name)
                self.assertGreater(scheme.size(), 10)
                theirs, ours = self.read_back(scheme, section("plain-block"))
                self.assert_same_survey(theirs, ours)
                if name in ("pd", "pp"):
                    self.assertEqual(set(ours.columns["b"]), {0})
                if name == "pp":
                    self.assertEqual(set(ours.columns["n"]), {0})

    def test_scheme_on_a_relief(self):
        # The electrodes where the program stands them on the relief, as pyGIMLi writes them (x y z, y the height).
        folder = self.folder.name
        placed = program.forward(ARGUMENTS.program, os.path.join(folder, "placed.dat"), section("relief-outcrop"),
                                 "--electrodes", "15", "--levels", "2")
        scheme = ert.createData(elecs=[[x, z] for x, z in placed.electrodes], schemeName="wa")
        theirs, ours = self.read_back(scheme, section("relief-outcrop"))
        self.assert_same_survey(theirs, ours)

    def test_simulated_data(self):
        # Data pyGIMLi simulated with noise and saved, as a user would measure it.
        world = pg.meshtools.createWorld(start=[-100, 0], end=[500, -200], layers=[-20])
        scheme = ert.createData(elecs=np.linspace(20, 380, 16), schemeName="dd")
        for position in scheme.sensorPositions():
            world.createNode(position)
        mesh = pg.meshtools.createMesh(world, quality=33)
        data = ert.simulate(mesh, scheme=scheme, res=[[1, 50.0], [2, 200.0]], noiseLevel=0.02, seed=1,
                            verbose=False)
        self.assertTrue(data.haveData("err") and data.haveData("rhoa"))
        theirs, ours = self.read_back(data, section("plain-block"))
        self.assert_same_survey(theirs, ours)


def syscal_binary(records):
    """A Syscal Pro binary file by its layout: the header (version 0x80000002, type 11, a 1024-byte comment),
    then per record (more, x, y, z, Vp, In, M) its 280, 296 or 304 bytes, little-endian."""
    out = struct.pack("<IB", 0x80000002, 11) + b"Made-up line".ljust(1024, b"\0")
    for more, x, y, z, vp, current, m in records:
        out += struct.pack("<hhffhh", 11, more, 500.0, 20.0, 1, 0) + struct.pack("<12f", *x, *y, *z)
        out += struct.pack("<6f", 0.5, vp, current, 18.4, m, 5.7) + struct.pack("<40f", *([0.0] * 40))
        out += b"\x03\x03" + b"Q1".ljust(12, b"\0") + struct.pack("<h4f", 1, 0.0, 0.0, 4.0, 1.5)
        out += struct.pack("<4f", 48.0, 12.5, 12.1, 21.0) if more in (2, 3) else b""
        out += struct.pack("<d", 46082.5) if more == 3 else b""
    return out.decode("latin-1")  # written back byte for byte


def syscal_binx(records):
    """A Syscal Pro .binx file of version 6 with records of version 14, block by block as its layout lists
    them (unread fields 0), per record (x, y, z, Vp, In, M)."""
    def text(value):
        return struct.pack("<I", len(value)) + value

    out = struct.pack("<IBBhhh", 6, 11, 2, 1, 4, 0) + text(b"Made-up line") + text(b"") + struct.pack("<III", 0, 0,
                                                                                                        len(records))
    for x, y, z, vp, current, m in records:
        out += struct.pack("<iddii4d", 14, 1.0, 0.5, 0, 4, 0.5, vp, current, m) + bytes(20 * 8 + 5 * 8 + 5 * 4 + 3200)
        out += text(b"raw.bin") + bytes(153) + text(b"DD") + bytes(75)  # blocks 1, 2, 3
        for e in range(4):
            out += struct.pack("<3d", x[e], y[e], z[e]) + bytes(8 + 4 + 2 + 12 + 1)
        out += bytes(67) + bytes(41) + text(b"") + text(b"") + bytes(25) + bytes(28)  # grid, blocks 5, 6
        out += bytes(156) + struct.pack("<I", 0) + bytes(40 * 8 + 2 * 8 + 9)  # block 7, no time stamps
    return out.decode("latin-1")


# Instruments' exports built from their layouts with known values: the
# electrodes' x and z as the program places them, and per datum a b m n
# (from 1, 0 a pole) and the resistance V/I.
INSTRUMENT_FILES = {
    "syscal.csv": (
        ",El-array,Spa.1,Spa.2,Spa.3,Spa.4,Rho ,Dev., M  ,Sp  ,Vp  ,In\r\n"
        ",Mixed / non conventional,0.00,1.00,2.00,3.00,52.40,0.2,0.00,4.1,-812.300,97.400\r\n"
        ",Mixed / non conventional,2.00,3.00,0.00,1.00,51.90,0.5,0.00,-3.0,-804.900,96.800\r\n"
        ",Pole Dipole,4.00,9999999.00,6.00,7.00,61.12,1.1,0.00,2.2,35.210,120.00\r\n"
        ",Mixed / non conventional,0.00,1.00,2.00,3.00,52.40,0.2,0.00,4.1,-,0\r\n",
        [(0, 0), (1, 0), (2, 0), (3, 0), (4, 0), (6, 0), (7, 0)],
        [((1, 2, 3, 4), -812.3 / 97.4), ((3, 4, 1, 2), -804.9 / 96.8), ((5, 0, 6, 7), 35.21 / 120.0)]),
    "abem.ohm": (
        "Line 7\r\n0\r\n2020-03-01 09:30:00   ver. 2.12\r\n2\r\n1\r\nWEN 1\r\nWEN2.ORG\r\n2 1\r\n10\r\n"
        "2020-03-01 09:31:02   ver. 2.12\r\n-3 3 -1 1 4.0E-1 0.3 2 2\r\n-3 1.0E38 -1 1 2.0E-1 1.1 2 2\r\n",
        [(7, 0), (9, 0), (11, 0), (13, 0)],
        [((1, 4, 2, 3), 0.4), ((1, 0, 2, 3), 0.2)]),
    "sting.stg": (
        "SuperSting R8-IP. S/N: SS0000001\nFirmware version: 01.03.41E Records: 2\nUnit: meter\n"
        "1,USER,20200301,10:02:11, 2.5E+00,4,500,94.2,X0,2,0,15,0,0,15,4,0,14.8,6,0,14.6,Cmd=1\n"
        "2,USER,20200301,10:02:15, 1.2E-01,0,480,22.6,X0,4,0,14.8,2,0,15,6,0,14.6,8,0,14.4,Cmd=1\n",
        [(0, 15), (2, 15), (4, 14.8), (6, 14.6), (8, 14.4)],
        [((2, 1, 3, 4), 2.5), ((3, 2, 4, 5), 0.12)]),
    "lippmann.tx0": (
        "* Electrode positions ***\r\n* Electrode [  1] x y z (m) =  0,000  0,000  0,000\r\n"
        "* Electrode [  2] x y z (m) =  1,000  0,000  0,000\r\n* Electrode [  3] x y z (m) =  2,000  0,000  0,000\r\n"
        "* Electrode [  4] x y z (m) =  3,000  0,000  0,000\r\n* Remote electrode positions ***\r\n"
        "* num    A    B    M    N        I         U      rho     phi\r\n"
        "*                               mA        mV     Ohmm    mrad\r\n"
        "    1    1    4    2    3   5,0000 120,50000  94,600   1,660\r\n"
        "    2    1    -    2    3   2,0000  10,00000  20,000   0,000\r\n",
        [(0, 0), (1, 0), (2, 0), (3, 0)],
        [((1, 4, 2, 3), 120.5 / 5.0), ((1, 0, 2, 3), 5.0)]),
    "das1.data": (
        "#elec_start\r\n002,01 +5.0000 +20.000 +.00000 +.00000 001\r\n002,02 +5.0000 +18.000 +.00000 +.00000 002\r\n"
        "002,03 +5.0000 +16.000 +.50000 +.00000 003\r\n002,04 +5.0000 +14.000 +1.0000 +.00000 004\r\n#elec_end\r\n"
        "#data_res_col= 011\r\n#data_start\r\n000001 002,01 002,04 002,02 002,03 +102.40 +8.150000 +.0120000\r\n"
        "000002 002,02 002,04 002,03 002,01\t * * TX Resist. out of range * *\r\n#data_end\r\n",
        [(14, 1.0), (16, 0.5), (18, 0), (20, 0)],
        [((4, 1, 3, 2), 8.15)]),
    "ohmpi.csv": (
        "time,a,b,m,n,injection_duration_[ms],vmn_[mV],vmn_std_[%],iab_[mA],iab_std_[%],r_[Ohm],r_std_[%]\n"
        "2024-05-01T10:00:00.0,1,4,2,3,500.0,812.5,0.4,2.1,1.2,386.9,1.3\n"
        "2024-05-01T10:00:06.0,2,3,1,4,500.0,640.0,0.6,1.9,1.5,336.8,1.7\n"
        "2024-05-01T10:00:12.0,1,2,5,6,500.0,10.0,0.6,2.0,1.5,-5.0,1.7\n"
        "2024-05-01T10:00:18.0,1,4,2,3,500.0,0.0,0.0,0.0,0.0,-,0\n",
        [(0, 0), (1, 0), (2, 0), (3, 0), (4, 0), (5, 0)],
        [((1, 4, 2, 3), 386.9), ((2, 3, 1, 4), 336.8), ((1, 2, 5, 6), -5.0)]),
    "prime.tab": (
        "# Prime:\tRX Ver.1.00\r\nset_no_of_meas:\t3\r\n#Units\tOhm\tTenths %\t-\t-\t-\t-\tDegrees\r\ndata:\r\n"
        "pt_line_number:\tpt_calc_res:\tpt_calc_res_error:\tpt_c1_no:\tpt_c2_no:\tpt_p1_no:\tpt_p2_no:\t"
        "pt_calc_phase_mag:\r\n1\t0.8123\t4.5\t12\t11\t13\t14\t0.5\r\n2\t0.3518\t6.0\t\t\t14\t15\t0.4\r\n"
        "**Error: no current\r\n",
        [(0, 0), (1, 0), (2, 0), (3, 0), (4, 0)],
        [((2, 1, 3, 4), 0.8123), ((2, 1, 4, 5), 0.3518)]),
    "prime_positions.dat": (
        "# Prime:\tRX Ver.1.00\r\ndata:\r\n"
        "pt_line_number:\tpt_calc_res:\tpt_c1_no:\tpt_c2_no:\tpt_p1_no:\tpt_p2_no:\r\n"
        "1\t0.8123\t12\t11\t13\t14\r\n2\t/.//\t\t\t14\t15\r\n3\t0.3518\t\t\t14\t15\r\n"
        "no_of_electrodes:\t5\r\nlabel\tx\ty\tz\r\n11\t3.0\t0.0\t100.0\r\n12\t3.0\t2.0\t99.5\r\n"
        "13\t3.0\t4.0\t99.0\r\n14\t3.0\t6.0\t98.0\r\n15\t3.0\t8.0\t97.5\r\n",
        [(0, 100.0), (2, 99.5), (4, 99.0), (6, 98.0), (8, 97.5)],
        [((2, 1, 3, 4), 0.8123), ((2, 1, 4, 5), 0.3518)]),
    "ares.2dm": (
        "Method: Dip-Dip overlap\r\nX-loc: 10 m\r\nElectrode distance: 2 m\r\nIP windows:\t20\t40 ms\r\n"
        "Measured data:\r\nC1[el]\tC2[el]\tP1[el]\tP2[el]\tI[mA]\tU[mV]\tIP1[%]\tIP1-dev\tIP2[%]\tIP2-dev\r\n"
        "1\t0\t2\t3\t250.5\t310.4\t2.1\t3.0\t1.6\t4.1\r\n2\t5\t3\t4\ttoo low current\r\n"
        "0\t3\t1\t2\t100.0\t50.0\t1.0\t0.1\t1.0\t0.1\r\n",
        [(10, 0), (12, 0), (14, 0), (16, 0)],
        [((2, 1, 3, 4), 310.4 / 250.5), ((1, 4, 2, 3), 0.5)]),
    "electra_older.ele": (
        "# Total enabled electrodes\r\n4\r\n# X\tY\tZ\r\n0.000\t0.000\t10.000\r\n2.000\t0.000\t9.800\r\n"
        "4.000\t0.000\t9.500\r\n6.000\t0.000\t9.400\r\n"
        "# Meas.\tA\tB\tM\tN\tI(AB)\tV(AB)\tV(MN)\tK/(2pi)\trhoa\tZ(AB)\tStartOn\tVMN000\tVMN001\r\n"
        "# [#]\t[#]\t[#]\t[#]\t[#]\t[mApp]\t[Vpp]\t[mVpp]\t-\t[ohm m]\t[ohm]\t[byte]\t[mV]\t[mV]\r\n"
        "1\t1\t4\t2\t3\t48.10\t40.20\t512.3\t0.500\t33.45\t836.0\t1024\t12.1\t12.9\r\n"
        "2\t1\t2\t3\t4\t50.00\t40.00\t-25.0\t-3.000\t-9.42\t800.0\t1024\t12.1\t12.9\t13.0\r\n",
        [(0, 10), (2, 9.8), (4, 9.5), (6, 9.4)],
        [((1, 4, 2, 3), 512.3 / 48.1), ((1, 2, 3, 4), -0.5)]),
    "electra_newer.ele": (
        "#Total electrodes\r\n4\r\n#X\tY\tZ\r\n5.00\t0.00\t0.00\r\n5.00\t2.00\t0.00\r\n5.00\t4.00\t0.00\r\n"
        "5.00\t6.00\t0.00\r\n#Total remote electrode\r\nNo data\r\n"
        "#Meas.\tStatus\tA\tB\tM\tN\tGND\tI(AB)\tV(AB)\tV(MN)\ta-Spacing\tn-Factor\tK/(2pi)\tRhoa\tZ(AB)\r\n"
        "#[#]\t[E/D/N]\t[#]\t[#]\t[#]\t[#]\t[#]\t[mApp]\t[Vpp]\t[mVpp]\t-\t-\t-\t[ohm m]\t[ohm]\r\n"
        "1\tE\t1\t4\t2\t3\t3\t49.00\t81.20\t270.10\t2.00\t1.00\t2.00\t69.30\t1650.00\r\n"
        "2\tD\t1\t4\t2\t3\t3\t49.00\t81.20\t270.10\t2.00\t1.00\t2.00\t69.30\t1650.00\r\n",
        [(0, 0), (2, 0), (4, 0), (6, 0)],
        [((1, 4, 2, 3), 270.1 / 49.0)]),
    "syscal.bin": (
        syscal_binary([(3, (0, 3, 1, 2), (0,) * 4, (0,) * 4, 120.5, 5.0, 12.5),
                       (2, (1, 2, 0, 3), (0,) * 4, (0,) * 4, 30.25, 10.0, 0.0),
                       (0, (4, 9999999, 6, 7), (0,) * 4, (0,) * 4, 35.25, 120.0, 2.0),
                       (3, (0, 3, 1, 2), (0,) * 4, (0,) * 4, float("nan"), 5.0, 0.0)]),
        [(0, 0), (1, 0), (2, 0), (3, 0), (4, 0), (6, 0), (7, 0)],
        [((1, 4, 2, 3), 120.5 / 5.0), ((2, 3, 1, 4), 30.25 / 10.0), ((5, 0, 6, 7), 35.25 / 120.0)]),
    "syscal.binx": (
        syscal_binx([((0, 3, 1, 2), (0,) * 4, (10.5, 9.75, 10.25, 10.0), 120.1, 5.3, 12.5),
                     ((4, 9999999, 6, 7), (0,) * 4, (9.5, 0, 9.0, 8.5), 35.2, 120.0, 0.0),
                     ((0, 3, 1, 2), (0,) * 4, (10.5, 9.75, 10.25, 10.0), 1e38, 5.0, 0.0)]),
        [(0, 10.5), (1, 10.25), (2, 10.0), (3, 9.75), (4, 9.5), (6, 9.0), (7, 8.5)],
        [((1, 4, 2, 3), 120.1 / 5.3), ((5, 0, 6, 7), 35.2 / 120.0)]),
}


class InstrumentFilesInPyGimli(unittest.TestCase):
    """An instrument's export read by the program and saved as its kept data
    ("Save kept data"): pyGIMLi reads the same electrodes, configurations
    and resistances, and its own geometric factors where the line is flat."""

    def setUp(self):
        self.folder = program.scratch_folder()

    def tearDown(self):
        self.folder.cleanup()

    def kept(self, name, text):
        path = os.path.join(self.folder.name, name)
        with open(path, "w", encoding="latin-1", newline="") as file:
            file.write(text)
        out = os.path.join(self.folder.name, name + ".dat")
        program.run(ARGUMENTS.kept_data, path, out)
        return out

    def test_each_format_reads_as_the_same_data(self):
        for name, (text, electrodes, data) in INSTRUMENT_FILES.items():
            with self.subTest(file=name):
                out = self.kept(name, text)
                for reader in (ert.load, pg.load):
                    theirs = reader(out)
                    positions = np.array(theirs.sensorPositions())
                    np.testing.assert_allclose(positions[:, 0], [x for x, _ in electrodes], rtol=0, atol=1e-12)
                    np.testing.assert_allclose(positions[:, 2], [z for _, z in electrodes], rtol=0, atol=1e-12)
                    self.assertEqual(theirs.size(), len(data))
                    for i, name_ in enumerate(("a", "b", "m", "n")):
                        np.testing.assert_array_equal(np.array(theirs[name_]) + 1, [d[0][i] for d in data],
                                                      err_msg=name_)
                    np.testing.assert_allclose(theirs["r"], [d[1] for d in data], rtol=1e-15)
                    np.testing.assert_allclose(theirs["err"], 0.03, rtol=1e-15)
                    if all(z == electrodes[0][1] for _, z in electrodes):
                        # pyGIMLi's flat geometric factors: the configurations mean the same electrodes.
                        np.testing.assert_allclose(ert.createGeometricFactors(theirs), theirs["k"], rtol=1e-9)


if __name__ == "__main__":
    program.run_tests(__doc__, globals())
