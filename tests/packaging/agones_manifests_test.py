#!/usr/bin/env python3
"""The Agones manifests against the server they run: the port it listens on,
TCP and UDP on that one port, the health period its pings keep, the options
it knows, and the SDK sidecar switched on. Usage: agones_manifests_test.py SOURCE_DIR"""
import re
import sys
import unittest
from pathlib import Path

import yaml

SOURCE = Path(sys.argv.pop(1) if len(sys.argv) > 1 else Path(__file__).resolve().parents[2])
AGONES = SOURCE / "packaging/agones"


def load(name):
    with open(AGONES / name, encoding="utf-8") as f:
        return yaml.safe_load(f)


def server_source(name):
    return (SOURCE / "src/app" / name).read_text(encoding="utf-8")


class Manifests(unittest.TestCase):
    def setUp(self):
        self.gameserver = load("gameserver.yaml")
        self.fleet = load("fleet.yaml")
        self.autoscaler = load("fleetautoscaler.yaml")
        options = server_source("dedicated_options.h")
        self.port = int(re.search(r"TCPPort = (\d+);", options).group(1))
        self.assertEqual(self.port, int(re.search(r"UDPPort = (\d+);", options).group(1)))
        self.health_s = int(re.search(r"kHealthEveryMs = (\d+);", server_source("fleet_match.h")).group(1)) / 1000
        self.known = set(re.findall(r'\{"([a-z]+)", TKind::', server_source("dedicated_options.cpp"))) | {"agones"}

    def specs(self):
        return [("gameserver.yaml", self.gameserver["spec"]), ("fleet.yaml", self.fleet["spec"]["template"]["spec"])]

    def test_one_port_for_tcp_and_udp_where_the_server_listens(self):
        for name, spec in self.specs():
            with self.subTest(name):
                ports = spec["ports"]
                self.assertEqual(len(ports), 1)
                self.assertEqual(ports[0]["containerPort"], self.port)
                self.assertEqual(ports[0]["protocol"], "TCPUDP")
                self.assertEqual(ports[0]["portPolicy"], "Dynamic")

    def test_health_settings_match_the_pings(self):
        for name, spec in self.specs():
            with self.subTest(name):
                health = spec["health"]
                self.assertFalse(health.get("disabled", False))
                self.assertEqual(health["periodSeconds"], self.health_s)
                self.assertGreaterEqual(health["failureThreshold"], 2, "one late ping must not end a server")

    def test_the_container_speaks_to_the_sidecar_with_options_the_server_knows(self):
        for name, spec in self.specs():
            with self.subTest(name):
                containers = spec["template"]["spec"]["containers"]
                self.assertEqual(len(containers), 1)
                args = containers[0]["args"]
                self.assertIn("--agones", args)
                for arg in args:
                    if arg.startswith("--"):
                        self.assertIn(arg[2:].split("=")[0], self.known, arg)
                # The sidecar's port is the one Agones sets; a manifest must not pin another.
                env = {e["name"] for e in containers[0].get("env", [])}
                self.assertFalse(env & {"AGONES_SDK_HTTP_PORT", "AGONES_SDK_GRPC_PORT"})
                players = int(args[args.index("--maxplayers") + 1])
                self.assertEqual(spec["lists"]["players"]["capacity"], players)
                self.assertIn("requests", containers[0]["resources"])

    def test_the_fleet_runs_the_gameserver_and_the_autoscaler_keeps_a_buffer_of_it(self):
        self.assertEqual(self.fleet["spec"]["template"]["spec"], self.gameserver["spec"])
        self.assertEqual(self.autoscaler["spec"]["fleetName"], self.fleet["metadata"]["name"])
        self.assertEqual(self.autoscaler["spec"]["policy"]["type"], "Buffer")
        buffer = self.autoscaler["spec"]["policy"]["buffer"]
        self.assertLessEqual(buffer["minReplicas"], buffer["maxReplicas"])

    def test_the_image_listens_on_that_port_and_starts_the_server(self):
        recipe = (SOURCE / "packaging/container/Containerfile").read_text(encoding="utf-8")
        self.assertIn(f"EXPOSE {self.port}/tcp {self.port}/udp", recipe)
        self.assertRegex(recipe, r'ENTRYPOINT \["/usr/games/grimvale", "--dedicated"\]')


if __name__ == "__main__":
    unittest.main(verbosity=2)
