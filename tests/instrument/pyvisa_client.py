"""PyVISA, given the stand-in's path, as a client of the simulated VISA library.

Usage: pyvisa_client.py LIBVISA64 LIBZELVAN_SIMBENCH
Exit code 77 (skipped) when PyVISA is not installed.
"""
import ctypes
import os
import sys
import tempfile
import unittest

try:
    import pyvisa
    from pyvisa import constants
except ImportError:
    print("PyVISA is not installed: skipped")
    sys.exit(77)

VISA_PATH, SIMBENCH_PATH = sys.argv[1], sys.argv[2]

BENCH = """version: 1
resources:
  "VXI0::3::INSTR":
    slot: 3
    carrier: {model: 2391, slots: {2: {code: 0x4720}}}
  "TCPIP0::192.168.2.100::INSTR":
    address: 192.168.2.100
    hostname: lab-carrier-1
    device_name: inst0
    carrier: {model: 2391, slots: {1: {code: 0x4720}}}
  "ASRL1::INSTR": {}
  "GPIB0::INTFC": {}
"""


class PyVisaClient(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        bench = os.path.join(cls.folder.name, "bench.yaml")
        with open(bench, "w") as f:
            f.write(BENCH)
        cls.trace = os.path.join(cls.folder.name, "trace.txt")
        # The library reads both at its first call.
        os.environ["ZELVAN_SIM_BENCH"] = bench
        os.environ["ZELVAN_SIM_TRACE"] = cls.trace
        cls.sim = ctypes.CDLL(SIMBENCH_PATH)
        cls.rm = pyvisa.ResourceManager(VISA_PATH)

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def test_1_lists_instruments_in_bench_order(self):
        self.assertEqual(
            self.rm.list_resources("?*INSTR"),
            ("VXI0::3::INSTR", "TCPIP0::192.168.2.100::INSTR", "ASRL1::INSTR"),
        )

    def test_2_vxi_attributes(self):
        with self.rm.open_resource("VXI0::3::INSTR") as inst:
            self.assertEqual(inst.interface_type, constants.InterfaceType.vxi)
            self.assertEqual(inst.get_visa_attribute(constants.VI_ATTR_SLOT), 3)
            self.assertEqual(inst.resource_name, "VXI0::3::INSTR")
            inst.timeout = 5000
            self.assertEqual(inst.timeout, 5000)

    def test_3_tcpip_attributes(self):
        with self.rm.open_resource("TCPIP0::192.168.2.100::INSTR") as inst:
            self.assertEqual(inst.interface_type, constants.InterfaceType.tcpip)
            get = inst.get_visa_attribute
            self.assertEqual(get(constants.VI_ATTR_TCPIP_ADDR), "192.168.2.100")
            self.assertEqual(get(constants.VI_ATTR_TCPIP_HOSTNAME), "lab-carrier-1")
            self.assertEqual(get(constants.VI_ATTR_TCPIP_DEVICE_NAME), "inst0")
            with self.assertRaises(pyvisa.errors.VisaIOError) as caught:
                get(constants.VI_ATTR_SLOT)
            self.assertEqual(caught.exception.error_code, constants.StatusCode.error_nonsupported_attribute)

    def test_4_unknown_resource(self):
        with self.assertRaises(pyvisa.errors.VisaIOError) as caught:
            self.rm.open_resource("GPIB0::9::INSTR")
        self.assertEqual(caught.exception.error_code, constants.StatusCode.error_resource_not_found)

    def test_5_everything_closed_and_traced(self):
        self.rm.close()
        self.assertEqual(self.sim.zsim_openObjectCount(), 0)
        with open(self.trace) as f:
            calls = {line.split("(")[0] for line in f}
        for name in ("viOpenDefaultRM", "viFindRsrc", "viFindNext", "viParseRsrcEx", "viOpen",
                     "viGetAttribute", "viSetAttribute", "viClose"):
            self.assertIn(name, calls)


if __name__ == "__main__":
    result = unittest.main(argv=[sys.argv[0]], exit=False).result
    sys.exit(0 if result.wasSuccessful() else 1)
